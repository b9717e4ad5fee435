#pragma once
// The window's procedures as its tests and the monkey drive them: the steps a click, a timer
// or the system would run, called directly so that a test needs no real event for them.

#include <utility>

#include "app/TfrmMain.h"

namespace tavrin {

struct MainWindowAccess {
    TfrmMain& w;

    // The game as a test arranges it, past the record (positions and clocks a test sets up).
    GameState& Game = const_cast<GameState&>(w.Game);
    bool& EngineFound = w.EngineFound;
    bool& EngineLookUpPending = w.EngineLookUpPending;
    std::shared_ptr<library::LibraryIndex>& Library = w.Library;
    bool& MouseArmed = w.MouseArmed;
    bool& ReplayMode = w.ReplayMode;
    int& SetupState = w.SetupState;

#define TAVRIN_CALL(name)                     \
    template <class... A>                     \
    decltype(auto) name(A&&... a) {           \
        return w.name(std::forward<A>(a)...); \
    }
    TAVRIN_CALL(prcNewSet)
    TAVRIN_CALL(prcInfoSameSet)
    TAVRIN_CALL(prcInfoDsp)
    TAVRIN_CALL(prcKifUpDate)
    TAVRIN_CALL(prcKifActCtrl)
    TAVRIN_CALL(prcHit)
    TAVRIN_CALL(prcEndOfGame)
    TAVRIN_CALL(kifuStepTo)
    TAVRIN_CALL(rebuildKifuList)
    TAVRIN_CALL(addKifuRow)
    TAVRIN_CALL(setKifuRowMarker)
    TAVRIN_CALL(setStatusText)
    TAVRIN_CALL(setTitle)
    TAVRIN_CALL(pbxGbnMouseDown)
    TAVRIN_CALL(pbxGbnMouseUp)
    TAVRIN_CALL(pnlMainResize)
    TAVRIN_CALL(tmrDelayTimer)
    TAVRIN_CALL(tmrTimeTimer)
    TAVRIN_CALL(tmrKifuAutoTimer)
    TAVRIN_CALL(fncFileReadSGF)
    TAVRIN_CALL(fncFileReadNGF)
    TAVRIN_CALL(fncFileWriteSGF)
    TAVRIN_CALL(actFileOpenAccept)
    TAVRIN_CALL(actFileSaveAsAccept)
    TAVRIN_CALL(FormDropFiles)
    TAVRIN_CALL(FormCloseQuery)
    TAVRIN_CALL(FormClose)
    TAVRIN_CALL(ApplicationEvents1Activate)
    TAVRIN_CALL(startLibraryIndexing)
    TAVRIN_CALL(stopLibraryIndexing)
    TAVRIN_CALL(counting)
    TAVRIN_CALL(actClipPastExecute)
    TAVRIN_CALL(actFileSaveExecute)
    static QString fileNamePart(const QString& path) { return TfrmMain::fileNamePart(path); }
#undef TAVRIN_CALL
};

inline MainWindowAccess inside(TfrmMain& w) { return MainWindowAccess{w}; }

}  // namespace tavrin
