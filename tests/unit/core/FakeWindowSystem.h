// A window system without windows, recording what the operations ask of it.
#pragma once

#include "RecordingMessages.h"
#include "core/session/Shutdown.h"
#include "core/session/WindowSystem.h"
#include "core/lists/EditorLists.h"

#include <algorithm>
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
    FakeWindowSystem() {
        chooser = std::make_unique<FakeForm>("chooser");
        loaded.push_back(chooser.get());
    }

    std::int16_t FormsCount() const override { return static_cast<std::int16_t>(loaded.size()); }
    Form& FormAt(std::int16_t index) override { return *loaded.at(static_cast<size_t>(index)); }
    void Unload(Form& form) override {
        auto* fake = static_cast<FakeForm*>(&form);
        if (fake == chooser.get()) {
            Form_Unload(*this);
        }
        unloadOrder.push_back(fake->name);
        std::erase(loaded, fake);
        fake->visible = false;
        if (fake == editor.get()) {
            retired.push_back(std::move(editor));
        }
    }
    Form& Chooser() override { return *chooser; }
    EditorForm& LoadEditor() override {
        if (!editor) {
            editor = std::make_unique<FakeForm>("editor");
            loaded.push_back(editor.get());
            ++editorLoads;
        }
        return *editor;
    }
    MessageBoxes& Messages() override { return messages; }

    bool IsLoaded(const FakeForm* form) const {
        return std::find(loaded.begin(), loaded.end(), form) != loaded.end();
    }

    std::unique_ptr<FakeForm> chooser;
    std::unique_ptr<FakeForm> editor;
    std::vector<std::unique_ptr<FakeForm>> retired;
    std::vector<FakeForm*> loaded;
    std::vector<std::string> unloadOrder;
    int editorLoads = 0;
    RecordingMessages messages;
};

} // namespace rotaline::testing
