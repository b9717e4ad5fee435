#pragma once
// The main window frmMain: toolbar, status bar, side panel (information panel, move list,
// replay buttons), the board panel, the action list, menus and popup menus, the three
// timers, and the one game. Its controls, commands and parts are ui (MainControls.h), what
// the settings file keeps is prefs; the rest of the window is its own. Its procedures are
// private: the actions, the board's mouse, the timers and the system run them.
//
// The implementation is split by concern:
//   UnitMain.cpp     construction of the actions, menus, popups and toolbar; the window's events
//   MainPanels.cpp   the status bar, board panel, side panel and timers
//   ActionTable.cpp  the action list as data
//   MainView.cpp     view options, toolbar positions, mouse wheel, deferred re-layout
//   MainStartup.cpp  FormCreate, FormCloseQuery, FormClose, FormDestroy, settings file
//   MainInfo.cpp     prcNewSet, the information panel, status bar and move-list rows
//   MainPlay.cpp     play commands, board mouse, move clock
//   MainReplay.cpp   replay commands and automatic replay
//   MainFiles.cpp    file commands, clipboard, dropped files
//   MainHelp.cpp     help and about box
//   MainComment.cpp  the record tree's main line and the comment window
//   MainEngine.cpp   the computer opponent's commands; the window's side of EngineTurn
//   MainCounting.cpp 終局計算 (entering the CountingPanel) and 形勢判断
//   MainLibrary.cpp  the library's pane, its LibraryIndexer's progress, 棋譜ウィンドウ
//   MainCommands.cpp the commands offered, as each one's rule in the action table decides

#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/BoardModes.h"
#include "app/CommandStates.h"
#include "app/EngineTurn.h"
#include "app/MainControls.h"
#include "engine/Rokiru.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "game/Scoring.h"
#include "library/PositionHash.h"
#include "record/GameRecord.h"
#include "record/RecordTree.h"
#include "record/Review.h"
#include "view/Prompts.h"

class QVBoxLayout;
class QPushButton;
class QBoxLayout;
class QTreeWidgetItem;

namespace tavrin {

namespace library {
class LibraryIndex;
}
class BoardView;
class KifuWindow;
class SettingsFile;
struct ActionRow;
class CountingPanel;
class LibraryIndexer;

// Options of one run of the window.
struct MainOptions {
    // The settings file; empty = "Tavrin.Ini" beside the executable. Either way the file in
    // $XDG_CONFIG_HOME/Tavrin/ (default ~/.config/Tavrin/) is used instead when the file or
    // its folder cannot be written, and always for an installed program.
    QString settingsPath;
    // Command-line arguments after the program name; only the first is used.
    QStringList arguments;
    // Look for the computer opponent's engine (the window's tests of play between people
    // switch it off; everything about the computer then stays hidden, as without an engine).
    bool engineLookup = true;
};

class TfrmMain : public QMainWindow, private EngineTurn::Host {
    Q_OBJECT
public:
    // Builds every control and runs FormCreate.
    explicit TfrmMain(Prompts& prompts, MainOptions options = {}, QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TfrmMain() override;

    // The game: the record's tree and the shown node, with the position there.
    GameRecord Record;
    // The game's state at the shown node (a view of Record); every change goes through Record.
    const GameState& Game = Record.state();
    // The file the game belongs to.
    Document& Doc = Record.document();
    // The record's whole game tree: its main line is the record of Game, the rest (comments,
    // variations, other properties) rides along and is saved with it.
    const RecordTree& Tree() const { return Record.tree(); }
    // The controls, commands and parts; what the settings file keeps.
    MainControls ui;
    MainSettings prefs;
    Prompts& prompts;
    MainOptions Options;

    // The action named name, or nullptr.
    QAction* action(const QString& name) const;
    // The Tag of an action (a dynamic property "Tag", 0 when unset).
    static int tagOf(const QAction* a);
    static void setTag(QAction* a, int tag);
    // A status-bar panel's text.
    QString statusText(int panel) const;
    // Move-list rows: row r is the position after r moves; row 0 is "開始".
    int kifuRowCount() const;
    QTreeWidgetItem* kifuRow(int row) const;
    // The facts of the game that decide which commands are offered.
    CommandFacts commandFacts() const;
    // Applies the settings in the start-up order (steps 4.1 to 4.8); writes every key in the
    // shutdown order.
    // The play settings go to first, the game start-up begins with.
    void readSettings(const SettingsFile& ini, GameState& first);
    void writeSettings(SettingsFile& ini) const;
    // "Tavrin.Ini" beside the executable; $XDG_CONFIG_HOME/Tavrin/Tavrin.Ini (default
    // ~/.config/Tavrin/Tavrin.Ini); the file used for a preferred path (MainOptions::settingsPath).
    static QString exeSettingsPath();
    static QString userSettingsPath();
    static QString chooseSettingsPath(const QString& preferred);
    // $XDG_CACHE_HOME/Tavrin/library.cache (default ~/.cache/Tavrin/library.cache).
    static QString libraryCachePath();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    // The board's own minimum; less while the window is held smaller than the whole.
    static constexpr QSize BoardMinimum{257, 257};
    // The status bar's message field at its narrowest.
    static constexpr int MessagePanelWidth = 210;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    QMenu* createPopupMenu() override;

private:
    friend struct MainWindowAccess;  // the window's tests and the monkey drive its procedures
    friend const std::vector<ActionRow>& actionTable();

    // ---- the window's own state --------------------------------------------------------
    // The shared text buffer of the record writer, readers and clipboard.
    tavrin::TextBuffer SharedText;
    // Play is suspended or a record is shown: the board replays the record.
    bool ReplayMode = false;
    // A left press on the board waits for its release to play there.
    bool MouseArmed = false;
    // 0 nothing set up yet, 1 start-up's first game, 9 a game exists.
    int SetupState = 0;
    // The icon of imgListMk1[k], made once.
    const QIcon& kifuIcon(int k) const;
    mutable std::vector<QIcon> kifuIcons_;

    // ---- start-up and shutdown (MainStartup.cpp) ---------------------------------------
    void FormCreate();
    // Asks whether a modified game is to be saved (yes, no, cancel). false: the window stays
    // open, the game is kept (cancelled, or the save did not happen).
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();

    // ---- window title ------------------------------------------------------------------
    void setTitle(const QString& title);

    // ---- view options (MainView.cpp) ---------------------------------------------------
    void actDispZahyouExecute();
    void actDispTejunExecute();
    void actDispGbnHantenExecute();
    void actDispToolBarExecute();
    void actDispToolBarTopExecute();
    void actDispToolBarBottomExecute();
    void actDispToolBarLeftExecute();
    void actDispToolBarRightExecute();
    void actDispDataPanelExecute();
    void actDispPanelKifuBtnExecute();
    void actDispStatusBarExecute();
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void pnlMainResize();
    void tmrDelayTimer();
    // The complete re-layout of the board, then the saved window size and the list repaint.
    void actPnlMainReSizeExecute();
    // The current window state as stored: 0 normal, 1 minimized, 2 maximized.
    int windowStateValue() const;
    void keepWindowSize();

    // ---- information panel and move list (MainInfo.cpp) --------------------------------
    // A new game with the information, players and settings of the game shown / of from.
    void prcNewSet() { prcNewSet(Game); }
    void prcNewSet(const GameState& from);
    void prcInfoSameSet();
    void prcInfoDsp();
    void prcKifUpDate();
    void setStatusText(int panel, const QString& text);
    // Panel 0 when nothing else is said: the mode's name, or the help hint.
    QString restingStatus() const;
    // Appends the row of move k: caption "%4d", point (or "パス"), colour image, time
    // (empty text for moves loaded from a record).
    QTreeWidgetItem* addKifuRow(int k, const QString& point, int colour, const QString& time);
    // The same row, not yet in the list.
    QTreeWidgetItem* makeKifuRow(int k, const QString& point, int colour, const QString& time) const;
    // Adds the "開始" row, which sets the height of every row.
    void addKifuStartRow();
    // Current-position marker (row image 0) on or off.
    void setKifuRowMarker(int row, bool on);
    // The list's focus mark on row, scrolled fully into view; no row is selected.
    void setKifuFocusRow(int row);
    // Deletes every row from row on.
    void removeKifuRowsFrom(int row);
    // The title shown for a path: the file-name part, with its extension.
    static QString fileNamePart(const QString& path);

    // ---- play (MainPlay.cpp) -----------------------------------------------------------
    void actPlayNewExecute();
    void actPlayConfigExecute();
    void actPlayDetailsExecute();
    void actPlayStopExecute();
    void actPlayResumeExecute();
    void actPlayPassExecute();
    void actPlayMattaExecute();
    void actPlayGiveUpExecute();
    void actCanselExecute();
    void pbxGbnMouseDown(Qt::MouseButton button, int x, int y);
    void pbxGbnMouseUp(Qt::MouseButton button, int x, int y);
    void prcHit(int pos, int colour);
    void prcEndOfGame();
    void tmrTimeTimer();

    // ---- play and replay helpers (MainPlay.cpp, MainReplay.cpp, MainInfo.cpp) ----------
    // Rebuilds the move list from the record: row 0 and rows 1..MoveCount without times;
    // when there is at least one move the current row gets the marker and the focus mark.
    void rebuildKifuList();
    // The move list's point text of a position: its coordinate name, or "パス".
    QString kifuPointText(int pos) const;
    // Automatic replay runs (its timer is on).
    bool kifuAutoRunning() const;
    // Stops automatic replay if it runs.
    void stopKifuAuto();
    // Moves the shown position to target (clamped to the record), taking the marker off
    // the row it leaves; the caller refreshes labels and states.
    void kifuStepTo(int target);
    // Both time labels from the totals.
    void showTimeTotals();
    // Interval of automatic replay; restarts a running replay.
    void setKifuInterval(int ms);

    // ---- replay (MainReplay.cpp) -------------------------------------------------------
    void actKifuAutoExecute();
    void actKifuFirstExecute();
    void actKifuLastExecute();
    void actKifuBackExecute();
    void actKifuNextExecute();
    void actKifuBack10Execute();
    void actKifuNext10Execute();
    void actKifuSpedd05Execute();
    void actKifuSpedd10Execute();
    void actKifuSpedd20Execute();
    void actKifuSpedd30Execute();
    void actKifuSpedd40Execute();
    void actKifuSpedd50Execute();
    void tmrKifuAutoTimer();
    void prcKifActCtrl();
    // A row of the move list was selected (selected true) or deselected.
    void lsvKifuSelectItem(QTreeWidgetItem* item, bool selected);

    // ---- files (MainFiles.cpp) ---------------------------------------------------------
    void actFileOpenExecute();  // the standard open action: BeforeExecute, dialog, Accept
    void actFileOpenBeforeExecute();
    void actFileOpenAccept(const OpenChoice& choice);
    void actFileOpenCKExecute();
    void actFileReOpenExecute();
    void actFileSaveExecute();
    void actFileSaveAsExecute();  // the standard save-as action: BeforeExecute, dialog, Accept
    void actFileSaveAsBeforeExecute();
    void actFileSaveAsAccept(const QString& path);
    void actFileExitExecute();
    void actClipBoardExecute();
    void actClipPastExecute();
    bool fncFileReadSGF(const QString& path);
    bool fncFileReadNGF(const QString& path);
    bool fncFileWriteSGF(const QString& path);
    void ApplicationEvents1Activate();
    // The first file of a drop onto the window.
    void FormDropFiles(const QString& path);
    // The window after a record replaced the game: the record arrives as an ended game shown
    // at its last move.
    void showLoadedRecord(const QString& title);
    // Reads path with the reader its extension names; any other extension reads nothing and
    // says nothing. True when a record was loaded.
    bool readByExtension(const QString& path);
    // Request for the open dialog / save dialog, filled by the BeforeExecute handlers.
    OpenRequest OpenDialog;
    SaveRequest SaveDialog;

    // ---- the record tree and the comment window (MainComment.cpp) ----------------------
    // Marks the move-list rows of positions from which variations branch.
    // From row from on (the rows before it are as they were).
    void markVariationRows(int from = 0);
    // Shows the comment of the shown position's node and how many variations branch there.
    void prcCommentShow();
    void actDispCommentExecute();
    // Shows or hides a docked pane of the given height (width at a side); a window that is
    // not maximized grows by it where the screen has room and gives it back when it goes.
    void showPane(QDockWidget* dock, bool show, int extent);
    std::map<QDockWidget*, int> PaneGrowth;  // what each pane added to the window
    // A docked pane's size now: its height, or its width at a side (hidden while it is hidden
    // or floating).
    int paneSize(const QDockWidget* dock, int hidden) const;

    // ---- variations and 変化図 (MainVariations.cpp) -------------------------------------
    // Shows node n of the record (replay only): the board, the move list of its line, the
    // comment, the marks and the tree pane follow.
    void showNode(RecordTree::NodeId n);
    void actKifuVarNextExecute();
    void actKifuVarPrevExecute();
    void actKifuVarBranchExecute();
    // 手数指定: a move of the shown line (of the main line past its end); the node before or
    // after the shown one, in tree order, that holds a comment; the main line at the same move.
    void actKifuGoToExecute();
    void actKifuNextCommentExecute();
    void actKifuPrevCommentExecute();
    void actKifuMainLineExecute();
    // 検索: the nodes whose comment, name or a label holds a text, listed in a pane (a click
    // shows one); the first is shown.
    void actKifuSearchExecute();
    // A small dialog of one labelled field (made by the caller as the dialog's child) with
    // OK and キャンセル, run through the prompts.
    int askOne(QDialog& dialog, const QString& name, const QString& title, const QString& label, QWidget* field);
    QString LastSearch;
    // 変化をコピー: the shown line from where it branches, with the position there, as an SGF
    // record; 変化を貼り付け: such a record's moves as a variation at the shown node; 他の変化を
    // 削除: the shown line alone stays (asks first).
    QString lineAsSgf() const;
    void actEditCopyLineExecute();
    void actEditPasteLineExecute();
    void actEditKeepLineExecute();
    // Node k of the main line that holds move m, or its last node when it is shorter.
    RecordTree::NodeId mainLineNodeOfMove(int m) const;
    void actDispVariationsExecute();
    void actDispOpenAtStartExecute() {}  // the mark is the setting
    void actDispRowsFromBottomExecute();
    void actKifuAnalyseExecute();
    void actDispGraphExecute();
    void buildReviewParts();
    void buildGraphPane();
    void reviewFinished(bool complete, const QString& message);
    // The judgements of the shown line: a review's under way, else the record's.
    std::vector<Judgement> shownReview() const;
    void showReview();
    // 検討 with an analysis engine: its candidates on the board, following the shown position.
    void followAnalysis();
    QString analysisProbed_;                    // the engine command line asked whether it analyses
    uint64_t treePaneRevision_ = ~uint64_t{0};  // the record's revision 変化図 was laid out for
    // What showReview last read: the shown line's judgements and the moves marked.
    struct ReviewShown {
        uint64_t revision = ~uint64_t{0};
        RecordTree::NodeId end = RecordTree::None;
        double threshold = 0;
        bool any = false;
        std::vector<Judgement> line;
        std::vector<MarkedMove> marked;
    } reviewShown_;
    std::vector<RecordTree::NodeId> reviewNodes_;  // the reviewed line's nodes, by move
    uint64_t reviewRevision_ = 0;                  // the record's revision when it began
    void actDispTreeExecute();
    void buildTreePane();
    // The shown node's markup and its variations' next moves on the board; the tree pane
    // laid out again and its shown node.
    void showNodeMarks();
    // After every change of the record (an edit, an undo or redo, a game taken): the board's
    // marks, the tree pane, the comment window, the kifu window and the commands follow it.
    // The move list follows the handlers, which know whether a row was added or the line
    // changed as a whole.
    void recordChanged();
    // The node of the shown line after move k (the root for 0).
    RecordTree::NodeId lineNodeOfMove(int k) const;

    // ---- 検討, 盤面編集 and the record's edits (MainStudy.cpp) ------------------------------
    void actPlayKentouExecute();
    void actPlayEditExecute();
    void actEditUndoExecute();
    void actEditRedoExecute();
    void actEditDeleteExecute();
    void actEditPromoteExecute();
    void actEditUpExecute();
    void actEditDownExecute();
    void actEditCutExecute();
    // The shown node's annotation ident set or taken away (one step); the menu's marks follow
    // the shown node.
    void annotate(const char* ident);
    void showAnnotations();
    void actEditBMExecute() { annotate("BM"); }
    void actEditDOExecute() { annotate("DO"); }
    void actEditITExecute() { annotate("IT"); }
    void actEditTEExecute() { annotate("TE"); }
    void actEditGBExecute() { annotate("GB"); }
    void actEditGWExecute() { annotate("GW"); }
    void actEditDMExecute() { annotate("DM"); }
    void actEditUCExecute() { annotate("UC"); }
    void actEditHOExecute() { annotate("HO"); }
    // A new game or record: 検討 or 盤面編集 ends without a question.
    void leaveStudyAndEditing();
    // Leaves 検討 or 盤面編集 as the user asked; false when the user chose to stay.
    bool leaveOverlay();
    void buildEditToolBar();
    // The tree pane's menu for node n.
    void treePaneMenu(RecordTree::NodeId n, const QPoint& at);
    void moveVariation(int delta);
    // The variation the shown node lies in (where it leaves its parent's first child); the
    // node the tree's edits work on (the tree pane's menu's node, else that variation, else
    // the shown node).
    RecordTree::NodeId editTarget() const;
    RecordTree::NodeId treeEditNode() const;
    // The shown node as its places among siblings from the root, and back.
    std::vector<int> shownPath() const;
    RecordTree::NodeId nodeAtPath(const std::vector<int>& places) const;
    // The move list, the marks and the picture made again after an edit or a change of line.
    void showRecordAgain();
    // ---- the board's modes (BoardModes.h) ------------------------------------------------
    friend class PlayBoard;
    friend class ReplayBoard;
    friend class CountingBoard;
    friend class StudyMode;
    friend class EditMode;
    PlayBoard PlayingBoard{*this};
    ReplayBoard ReplayingBoard{*this};
    CountingBoard CountBoard{*this};
    std::unique_ptr<OverlayMode> Overlay;  // 検討 or 盤面編集, while one lasts
    // The mode the board is in: counting, else 検討 or 盤面編集, else replay or play.
    BoardMode& mode();
    const BoardMode& mode() const { return const_cast<TfrmMain*>(this)->mode(); }
    StudyMode* study() const { return dynamic_cast<StudyMode*>(Overlay.get()); }
    EditMode* editing() const { return dynamic_cast<EditMode*>(Overlay.get()); }
    // The game a study during play works on a copy of: what the file holds meanwhile.
    GameRecord* studiedGame() const { return study() ? study()->game() : nullptr; }
    bool CommentRemembered = false;  // keys typed at the shown node's comment go on one step
    RecordTree::NodeId TreeMenuNode = RecordTree::None;

    // ---- the computer opponent (MainEngine.cpp) -----------------------------------------
    bool EngineFound = false;  // the engine's program can be found: its commands show
    // The engine plays on the shown game's board (not above 19 x 19): else its commands hide.
    bool engineTakesSize() const;
    void actPlayUtinaosiExecute();
    void actPlayHintExecute();
    void actPlayStnChgExecute();
    void actDispConfigExecute();

    // ---- the library and 布石定石 (MainLibrary.cpp) -------------------------------------
    std::shared_ptr<library::LibraryIndex> Library;  // the index queries read
    void actDispFskJskExecute();
    // Brings the library up to its folders in the background, from the cache on; the
    // status bar shows the progress and a button that stops it.
    void startLibraryIndexing();
    // Stops indexing (closing, new folders): every stage of the worker stops at once and
    // writes nothing; the window waits for it about a tenth of a second at most, then leaves
    // it to end by itself.
    void stopLibraryIndexing();
    void showLibraryProgress(bool shown);
    // The explorer's pane and the board's letters for the shown position.
    void prcFskJskShow();
    // Opens game id of the library (after the discard question) at the move where it reaches
    // the position it was found at.
    void openLibraryGame(int id);

    // ---- 棋譜ウィンドウ (MainLibrary.cpp) -------------------------------------------------
    void actDispKifuExecute();

    // ---- counting and judging (MainCounting.cpp) ---------------------------------------
    // 終局計算: counting of a stopped game; entered by itself after the two passes that end one.
    void actPlayCountExecute();
    // 形勢判断: who likely owns each point and who leads, at the shown position.
    void actPlayKeiseiExecute();
    // "形勢判断: 黒 約4目リード（source）" for Black's lead in tenths.
    QString keiseiText(int leadTenths, const QString& source) const;
    // Enters counting with the engine's proposal of dead stones (none without an engine).
    void startCounting();
    // Looks for the engine's program (no process is started) and shows or hides its commands.
    void lookUpEngine();
    // Looks the engine up now if start-up left that for after the first picture; whatever
    // reads EngineFound for a person's choice calls this first.
    void ensureEngineLookedUp();
    bool EngineLookUpPending = false;
    // ---- command states (MainCommands.cpp) ---------------------------------------------
    // Every command enabled and shown as its rule in the action table decides; called after every handler,
    // every step and every answer of the engine.
    void applyCommandStates();

    // ---- help (MainHelp.cpp) -----------------------------------------------------------
    void actHelpContentsExecute();
    void actHelpIndexExecute();
    void actHelpAboutExecute();

    // The font of family at a size in pixels (MainPanels.cpp).
    static QFont pixelFont(const QString& family, int pixels);
    void loadImages();
    void buildActions();
    void buildMenus();
    void buildPopups();
    void buildToolBar();
    void buildStatusBar();
    void buildSidePanel();
    void buildGameInfo();
    void buildKifuList();
    void buildKifuButtons();
    void buildBoard();
    void buildTimers();
    // A dock pane, hidden, with a wrapped information label at the top of its column.
    QVBoxLayout* buildDockPane(QDockWidget*& dock, const QString& title, const QString& name, QLabel*& info,
                               const QString& infoName, Qt::DockWidgetArea area);
    // The comment window, the counting panel and the explorer's pane are made when first
    // shown, the library's progress in the status bar when indexing first starts: a window
    // that never uses them never pays for them, at start-up or in memory.
    void buildCommentPane();
    void buildLibraryPane();
    void buildLibraryProgress();
    // A progress bar ("prb" + name, "what done/total") and a button that stops the work,
    // hidden, at the right of the status bar.
    void addStatusProgress(QProgressBar*& bar, QToolButton*& stop, const QString& name, const QString& what,
                           const QString& widest, const QString& stopText, const QString& stopTip);
    void libraryIndexed(const std::shared_ptr<library::LibraryIndex>& index, bool cancelled);
    library::PositionKey LibraryKey;  // the position the explorer shows
    bool counting() const;
    void countingFinished(bool accepted, const std::string& result);
    // EngineTurn::Host: what the computer's turn asks of the window (MainEngine.cpp).
    bool engineFound() override;
    void playComputerMove(const EngineMove& move) override;
    void showHint(int pos, const QString& text) override;
    void showEstimate(int leadTenths) override;
    void showText(const QString& text) override;
    void showProgress(const QString& text) override;
    void thinkingChanged() override;
    bool replaying() const override { return ReplayMode; }
    void stopGame() override;
    void continueBetweenPeople() override;
    bool showingComment_ = false;  // the pane is being filled, not edited
    // A menu item showing its own caption and/or hint for action a (nullptr: the action's).
    QAction* addItem(QMenu* menu, QAction* a, const char* caption = nullptr, const char* hint = nullptr,
                     const QString& itemName = {});
    // Item that is never visible.
    void addHidden(QMenu* menu, QAction* a);
    void dockToolBar(Qt::ToolBarArea area);
    bool writeSettingsFile();
    bool closing_ = false;
};

}  // namespace tavrin
