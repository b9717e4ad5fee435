#pragma once
// Helpers of the dialog tests: the font names of the program, finding controls by name,
// the game information as one comparable value, and scripts for the dialogs.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>

#include "game/GameInfo.h"
#include "game/GameState.h"
#include "tests/support/ScriptedPrompts.h"

namespace tavrin::test {

inline void substituteFonts() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
}

// The control of that name; throws when it is missing, so a test fails instead of crashing.
template <typename T>
T* control(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!w) throw std::runtime_error(std::string("no control ") + name);
    return w;
}

// The dialog's answer given to the game as the window gives it; whether there was one.
inline bool applied(const std::optional<GameInfo>& info, GameState& game) {
    if (info) setInfo(game, *info);
    return info.has_value();
}

// A script that shows the dialog (as exec would), lets `act` work on it and then presses OK.
inline std::function<int(QDialog&)> pressOk(std::function<void(QDialog&)> act = {}, const char* okName = "btnOk") {
    return [act, okName](QDialog& d) {
        d.show();
        if (act) act(d);
        control<QPushButton>(d, okName)->click();
        return d.result();
    };
}

// Ways of leaving a dialog without OK.
enum class Leave { CancelButton, Escape, CloseBox };

inline std::function<int(QDialog&)> leaveBy(Leave how, std::function<void(QDialog&)> act = {},
                                            const char* cancelName = "btnCancel") {
    return [how, act, cancelName](QDialog& d) {
        d.show();
        if (act) act(d);
        switch (how) {
            case Leave::CancelButton: control<QPushButton>(d, cancelName)->click(); break;
            case Leave::Escape: QTest::keyClick(&d, Qt::Key_Escape); break;
            case Leave::CloseBox: d.close(); break;
        }
        return d.result();
    };
}

// The named controls in the order of the focus chain, starting at the first of `names`.
inline QStringList tabOrderOf(QWidget& dialog, const QStringList& names) {
    QStringList chain;
    QWidget* first = control<QWidget>(dialog, names.first().toLatin1().constData());
    QWidget* w = first;
    do {
        if (names.contains(w->objectName())) chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && chain.size() < 100);
    return chain;
}

inline QString selectedText(QDialog& d, const char* combo) { return control<QComboBox>(d, combo)->currentText(); }

}  // namespace tavrin::test
