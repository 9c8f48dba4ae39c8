// A window system without windows, recording what the operations ask of it.
#pragma once

#include "RecordingMessages.h"
#include "core/lists/EditorLists.h"
#include "core/session/WindowSystem.h"

#include <memory>
#include <string>
#include <vector>

namespace rotaline::testing {

class FakeForm : public EditorForm {
public:
    explicit FakeForm(std::string formName) : name(std::move(formName)) {}
    void Show() override { visible = true; }
    void Hide() override { visible = false; }
    EditorLists& Lists() override { return lists; }

    std::string name;
    bool visible = false;
    EditorLists lists;
};

class FakeWindowSystem : public WindowSystem {
public:
    FakeWindowSystem() : WindowSystem(messages) {
        forms.push_back(std::make_unique<FakeForm>("chooser"));
        chooser = forms.back().get();
        LoadChooser(*chooser);
    }

    bool IsLoaded(const FakeForm* form) const { return WindowSystem::IsLoaded(*form); }

    RecordingMessages messages;
    std::vector<std::unique_ptr<FakeForm>> forms; // every window made, kept for inspection
    FakeForm* chooser = nullptr;
    FakeForm* editor = nullptr; // the last editor made, loaded or not
    std::vector<std::string> unloadOrder;
    int editorLoads = 0;
    bool quit = false;

private:
    EditorForm& CreateEditor() override {
        ++editorLoads;
        forms.push_back(std::make_unique<FakeForm>("editor"));
        editor = forms.back().get();
        return *editor;
    }
    void DestroyForm(Form& form) override {
        auto& fake = static_cast<FakeForm&>(form);
        fake.visible = false;
        unloadOrder.push_back(fake.name);
    }
    void Quit() override { quit = true; }
};

} // namespace rotaline::testing
