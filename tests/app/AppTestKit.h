#pragma once
// The real main window in a private folder: its own settings file and config folder,
// scripted prompts.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <memory>

#include "app/AppSetup.h"
#include "app/TfrmMain.h"
#include "tests/support/MainWindowAccess.h"
#include "tests/support/ScriptedPrompts.h"

namespace tavrin::test {

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    QByteArray savedXdg;
    bool hadXdg = false;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        installFontSubstitutions();
        hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        savedXdg = qgetenv("XDG_CONFIG_HOME");
        setXdg(dir.path() + "/xdg");
    }
    void TearDown() override {
        if (hadXdg)
            qputenv("XDG_CONFIG_HOME", savedXdg);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    void setXdg(const QString& folder) { qputenv("XDG_CONFIG_HOME", folder.toUtf8()); }

    QString iniPath() const { return dir.path() + "/Tavrin.Ini"; }
    QString xdgIniPath() const { return dir.path() + "/xdg/Tavrin/Tavrin.Ini"; }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QString readFile(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll());
    }

    // The window looks for the computer's engine only in the tests of the computer opponent.
    bool engineLookup = false;
    std::unique_ptr<TfrmMain> open(const QString& settings = {}, QStringList args = {}) {
        MainOptions o;
        o.settingsPath = settings.isEmpty() ? iniPath() : settings;
        o.arguments = std::move(args);
        o.engineLookup = engineLookup;
        return std::make_unique<TfrmMain>(prompts, o);
    }
};

// The items of a menu as shown: captions, "-" for separators, "~" before hidden items.
inline QStringList itemsOf(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        QString t = a->isSeparator() ? QStringLiteral("-") : a->text();
        if (!a->isVisible()) t.prepend(QLatin1Char('~'));
        out << t;
    }
    return out;
}

}  // namespace tavrin::test
