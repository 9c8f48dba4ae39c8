// A window system without windows, recording what the operations ask of it.
#pragma once

#include "RecordingMessages.h"
#include "core/lists/EditorLists.h"
#include "core/session/WindowSystem.h"

#include <memory>
#include <string>
#include <vector>

namespace rotaline::testing {

struct FakeForm : EditorForm {
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
        chooser = forms.emplace_back(std::make_unique<FakeForm>("chooser")).get();
        LoadChooser(*chooser);
    }

    RecordingMessages messages;
    std::vector<std::unique_ptr<FakeForm>> forms; // every window made, the chooser first
    FakeForm* chooser = nullptr;
    FakeForm* editor = nullptr; // the last editor made, loaded or not
    std::vector<std::string> unloadOrder;
    bool quit = false;

private:
    EditorForm& CreateEditor() override {
        return *(editor = forms.emplace_back(std::make_unique<FakeForm>("editor")).get());
    }
    void DestroyForm(Form& form) override {
        static_cast<FakeForm&>(form).visible = false;
        unloadOrder.push_back(static_cast<FakeForm&>(form).name);
    }
    void Quit() override { quit = true; }
};

} // namespace rotaline::testing
