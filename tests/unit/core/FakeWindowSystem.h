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

// The editor made last stays for inspection after it is unloaded.
class FakeWindowSystem : public WindowSystem {
public:
    FakeWindowSystem() : WindowSystem(messages) { LoadChooser(*chooser); }

    RecordingMessages messages;
    std::unique_ptr<FakeForm> chooser = std::make_unique<FakeForm>("chooser");
    std::unique_ptr<FakeForm> editor;
    std::vector<std::string> unloadOrder;
    int editorLoads = 0;
    bool quit = false;

private:
    EditorForm& CreateEditor() override {
        ++editorLoads;
        editor = std::make_unique<FakeForm>("editor");
        return *editor;
    }
    void DestroyForm(Form& form) override {
        static_cast<FakeForm&>(form).visible = false;
        unloadOrder.push_back(static_cast<FakeForm&>(form).name);
    }
    void Quit() override { quit = true; }
};

} // namespace rotaline::testing
