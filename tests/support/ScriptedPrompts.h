#pragma once
// Prompts answered from a script: each call takes the next queued answer of its kind and
// records the text it was asked, so tests can check messages and never block on a window.

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "view/Prompts.h"

namespace tavrin::test {

class ScriptedPrompts final : public Prompts {
public:
    struct Asked {
        QString kind;  // "confirm", "warnYesNo", "warn", "error", "open", "save", "folder", "exec"
        QString text;  // message text, or dialog title / proposed name
    };

    std::deque<Answer> answers;                         // for confirm and warnYesNo
    std::deque<std::optional<OpenChoice>> openChoices;  // for openFile
    std::deque<std::optional<QString>> saveChoices;     // for saveFile
    std::deque<std::optional<QString>> folderChoices;   // for chooseFolder
    // For exec: called with the dialog; returns QDialog::Accepted or Rejected.
    std::deque<std::function<int(QDialog&)>> dialogScripts;

    std::vector<Asked> asked;
    OpenRequest lastOpen;
    SaveRequest lastSave;
    QString lastFolder;  // where the last folder dialog started

    Answer confirm(QWidget*, const QString& text, bool) override {
        asked.push_back({"confirm", text});
        return next(answers, "confirm");
    }
    Answer warnYesNo(QWidget*, const QString& text) override {
        asked.push_back({"warnYesNo", text});
        return next(answers, "warnYesNo");
    }
    void warn(QWidget*, const QString& text) override { asked.push_back({"warn", text}); }
    void error(QWidget*, const QString& text) override { asked.push_back({"error", text}); }
    std::optional<OpenChoice> openFile(QWidget*, const OpenRequest& req) override {
        asked.push_back({"open", req.title});
        lastOpen = req;
        return next(openChoices, "openFile");
    }
    std::optional<QString> saveFile(QWidget*, const SaveRequest& req) override {
        asked.push_back({"save", req.proposedName});
        lastSave = req;
        return next(saveChoices, "saveFile");
    }
    std::optional<QString> chooseFolder(QWidget*, const QString& title, const QString& folder) override {
        asked.push_back({"folder", title});
        lastFolder = folder;
        return next(folderChoices, "chooseFolder");
    }
    int exec(QDialog& dialog) override {
        asked.push_back({"exec", dialog.windowTitle()});
        auto script = next(dialogScripts, "exec");
        return script(dialog);
    }

    // Texts asked of one kind, in order.
    std::vector<QString> texts(const QString& kind) const {
        std::vector<QString> out;
        for (const auto& a : asked)
            if (a.kind == kind) out.push_back(a.text);
        return out;
    }

private:
    template <typename T>
    static T next(std::deque<T>& q, const char* what) {
        if (q.empty()) throw std::logic_error(std::string("unscripted prompt: ") + what);
        T v = std::move(q.front());
        q.pop_front();
        return v;
    }
};

}  // namespace tavrin::test
