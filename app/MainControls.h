#pragma once
// The main window's controls, commands and parts, as the window builds them. Every control
// and action carries its member's name as its objectName, so tests and later code can find
// them; the window reaches them as ui.<name>.

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <Qt>
#include <array>
#include <vector>

#include "engine/Rokiru.h"

class QAction;
class QActionGroup;
class QMenuBar;
class QStatusBar;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QDockWidget;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace tavrin {

class BoardView;
class KifuWindow;
class CountingPanel;
class EngineTurn;
class LibraryIndexer;
class GameTreePane;
class GameReview;
class LiveAnalysis;
class ReviewGraph;

struct MainControls {
    // ---- controls ----------------------------------------------------------------------
    QMenuBar* mnuMain = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuPlay = nullptr;
    QMenu* mnuKifuP = nullptr;  // "棋譜観賞(&K)", enabled and disabled as a whole
    QMenu* mnuKifuSpeed = nullptr;
    QMenu* mnuDisp = nullptr;
    QMenu* mnuDispToolBar = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuKifuAuto = nullptr;  // menu item of actKifuAuto with its own caption

    QMenu* pumToolBar = nullptr;
    QMenu* pumStatusBar = nullptr;
    QMenu* pumPanelSub = nullptr;
    QMenu* pumGoban = nullptr;
    QMenu* pumPanelKifBtn = nullptr;
    QMenu* pumPanelKifBtnSpeed = nullptr;

    QToolBar* tlbMain = nullptr;
    QStatusBar* stbMain = nullptr;
    std::array<QLabel*, 6> stbPanel{};  // status-bar panels 0..5

    QWidget* pnlSubBase = nullptr;
    QWidget* pnlSpaser = nullptr;
    QFrame* pnlSub = nullptr;
    QFrame* pnlGameInfo = nullptr;
    QFrame* bvlGameName = nullptr;
    QFrame* bvlGameComment = nullptr;
    QFrame* bvlBlack = nullptr;
    QFrame* bvlWhite = nullptr;
    QLabel* lblGameName = nullptr;
    QLabel* lblGameComment = nullptr;
    QLabel* imgBlackIcon = nullptr;
    QLabel* lblBlackPlayer = nullptr;
    QLabel* lblBlackGetStone = nullptr;
    QLabel* lblBlackTimeCaption = nullptr;
    QLabel* lblBlackTime = nullptr;
    QLabel* imgWhiteIcon = nullptr;
    QLabel* lblWhitePlayer = nullptr;
    QLabel* lblWhiteGetStone = nullptr;
    QLabel* lblWhiteTimeCaption = nullptr;
    QLabel* lblWhiteTime = nullptr;
    QLabel* lblPutStone = nullptr;
    QLabel* lblKomi = nullptr;
    QTreeWidget* lsvKifu = nullptr;
    QFrame* pnlKifuBtn = nullptr;
    QToolButton* btnKifuFirst = nullptr;
    QToolButton* btnKifuBack10 = nullptr;
    QToolButton* btnKifuBack = nullptr;
    QToolButton* btnKifuAuto = nullptr;  // two-state toggle, not bound to actKifuAuto
    QToolButton* btnKifuNext = nullptr;
    QToolButton* btnKifuNext10 = nullptr;
    QToolButton* btnKifuLast = nullptr;
    BoardView* pnlMain = nullptr;  // the board panel: imgGoban and pbxGbn

    QTimer* tmrTime = nullptr;      // 1000 ms, the move clock
    QTimer* tmrDelay = nullptr;     // 1 ms one-shot, the deferred re-layout
    QTimer* tmrKifuAuto = nullptr;  // automatic replay

    std::vector<QIcon> imgListIcon;   // 25 icons of 16 x 16
    std::vector<QPixmap> imgListMk1;  // 12 x 15: 0 current position, 1 black, 2 white

    // ---- actions (actListMain) ---------------------------------------------------------
    QActionGroup* grpToolBarPosition = nullptr;  // the four toolbar positions
    QActionGroup* grpKifuSpeed = nullptr;        // the six replay speeds

    QAction* actFileOpen = nullptr;
    QAction* actFileOpenCK = nullptr;
    QAction* actFileReOpen = nullptr;
    QAction* actFileSave = nullptr;
    QAction* actFileSaveAs = nullptr;
    QAction* actFileExit = nullptr;
    QAction* actClipBoard = nullptr;
    QAction* actClipPast = nullptr;
    QAction* actPlayNew = nullptr;
    QAction* actPlayConfig = nullptr;
    QAction* actPlayDetails = nullptr;  // 対局の詳細: date, event, ranks, source …
    QAction* actPlayStop = nullptr;
    QAction* actPlayResume = nullptr;
    QAction* actPlayPass = nullptr;
    QAction* actPlayMatta = nullptr;
    QAction* actPlayGiveUp = nullptr;
    QAction* actPlayStnChg = nullptr;
    QAction* actPlayHint = nullptr;
    QAction* actPlayKeisei = nullptr;
    QAction* actPlayEdit = nullptr;
    QAction* actPlayKentou = nullptr;
    QAction* actPlayUtinaosi = nullptr;
    QAction* actPlayCount = nullptr;
    QAction* actKifuAuto = nullptr;
    QAction* actKifuFirst = nullptr;
    QAction* actKifuLast = nullptr;
    QAction* actKifuBack = nullptr;
    QAction* actKifuNext = nullptr;
    QAction* actKifuBack10 = nullptr;
    QAction* actKifuNext10 = nullptr;
    QAction* actKifuSpedd05 = nullptr;
    QAction* actKifuSpedd10 = nullptr;
    QAction* actKifuSpedd20 = nullptr;
    QAction* actKifuSpedd30 = nullptr;
    QAction* actKifuSpedd40 = nullptr;
    QAction* actKifuSpedd50 = nullptr;
    QAction* actDispZahyou = nullptr;
    QAction* actDispGbnHanten = nullptr;
    QAction* actDispToolBar = nullptr;
    QAction* actDispToolBarTop = nullptr;
    QAction* actDispToolBarBottom = nullptr;
    QAction* actDispToolBarLeft = nullptr;
    QAction* actDispToolBarRight = nullptr;
    QAction* actDispDataPanel = nullptr;
    QAction* actDispPanelKifuBtn = nullptr;
    QAction* actDispStatusBar = nullptr;
    QAction* actDispTejun = nullptr;
    QAction* actDispFskJsk = nullptr;
    QAction* actDispKifu = nullptr;
    QAction* actDispComment = nullptr;
    QAction* actDispConfig = nullptr;
    QAction* actHelpContents = nullptr;
    QAction* actHelpIndex = nullptr;
    QAction* actHelpAbout = nullptr;
    QAction* actPnlMainReSize = nullptr;
    QAction* actKifuVarNext = nullptr;    // Alt+Down: the next variation
    QAction* actKifuVarPrev = nullptr;    // Alt+Up: the previous variation
    QAction* actKifuVarBranch = nullptr;  // Alt+Left: back to the branch point
    QAction* actKifuGoTo = nullptr;       // Ctrl+G: 手数指定
    QAction* actEditCopyLine = nullptr;   // 変化をコピー / 変化を貼り付け as SGF
    QAction* actEditPasteLine = nullptr;
    QAction* actEditKeepLine = nullptr;  // 他の変化を削除
    // 編集 → 評価: the shown node's annotations (a move's, a position's, 要所).
    QAction* actEditBM = nullptr;
    QAction* actEditDO = nullptr;
    QAction* actEditIT = nullptr;
    QAction* actEditTE = nullptr;
    QAction* actEditGB = nullptr;
    QAction* actEditGW = nullptr;
    QAction* actEditDM = nullptr;
    QAction* actEditUC = nullptr;
    QAction* actEditHO = nullptr;
    QAction* actKifuNextComment = nullptr;  // Ctrl+Shift+Down / Up: the next / previous comment
    QAction* actKifuPrevComment = nullptr;
    QAction* actKifuMainLine = nullptr;
    QAction* actKifuSearch = nullptr;  // Ctrl+F: 検索, its results in a pane made when first shown
    QDockWidget* dckSearch = nullptr;
    QLabel* lblSearchInfo = nullptr;
    QListWidget* lstSearch = nullptr;            // 本譜に戻る: the main line at the same move
    QAction* actDispVariations = nullptr;        // the next moves of every variation on the board
    QAction* actDispOpenAtStart = nullptr;       // records open at their start, not their last move
    QAction* actDispVariationLetters = nullptr;  // the variations' letters beside their faint stones
    QAction* actDispRowsFromBottom = nullptr;    // coordinates count rows from the bottom line
    QAction* actDispTree = nullptr;              // 変化図, the game-tree pane
    QAction* actEditUndo = nullptr;              // 編集: undo and redo of the record's edits
    QAction* actEditRedo = nullptr;
    QAction* actEditDelete = nullptr;   // this variation with everything below it
    QAction* actEditPromote = nullptr;  // this line becomes the main line
    QAction* actEditUp = nullptr;       // the variation one place up / down among its siblings
    QAction* actEditDown = nullptr;
    QAction* actEditCut = nullptr;  // everything after the shown node
    QAction* actCansel = nullptr;

    // Every action of the list, in table order.
    std::vector<QAction*> actListMain;
    QAction* sepPlayHint = nullptr;  // the menu separators of the computer's commands
    QAction* sepPlayEngine = nullptr;

    // ---- panes, made when first shown ---------------------------------------------------
    QDockWidget* dckComment = nullptr;  // the comment window
    QPlainTextEdit* memComment = nullptr;
    QLabel* lblCommentInfo = nullptr;
    QDockWidget* dckFskJsk = nullptr;  // 布石定石, the explorer
    QLabel* lblFskJsk = nullptr;
    QTreeWidget* lsvFskJsk = nullptr;    // the next moves
    QTreeWidget* lsvFskGames = nullptr;  // the games of the chosen move
    QProgressBar* prbLibrary = nullptr;  // the library's progress in the status bar
    QToolButton* btnLibraryStop = nullptr;
    QDockWidget* dckTree = nullptr;  // 変化図
    GameTreePane* treePane = nullptr;
    QAction* actKifuAnalyse = nullptr;  // 棋譜解析: the engine judges every position of the line
    QAction* actDispGraph = nullptr;    // 形勢グラフ, the review's pane
    QDockWidget* dckGraph = nullptr;
    ReviewGraph* grfReview = nullptr;
    QProgressBar* prbReview = nullptr;  // the review's progress in the status bar
    QToolButton* btnReviewCancel = nullptr;
    QMenu* mnuEdit = nullptr;     // 編集
    QToolBar* tlbEdit = nullptr;  // 盤面編集's tools, shown while editing
    QActionGroup* grpEditTool = nullptr;

    // ---- parts with state of their own -------------------------------------------------
    EngineTurn* engineTurn = nullptr;          // the computer's turn: what Rokiru thinks about
    LibraryIndexer* libraryIndexer = nullptr;  // brings the library up to its folders
    KifuWindow* kifuWindow = nullptr;          // the record as numbered figures, a window of its own
    CountingPanel* countingPanel = nullptr;    // made when counting first starts
    GameReview* review = nullptr;              // 棋譜解析 under way (made on first use)
    LiveAnalysis* liveAnalysis = nullptr;      // an analysis engine's candidates in 検討
};

// What the window keeps in the settings file besides the view options.
struct MainSettings {
    int SavedWidth = 684;
    int SavedHeight = 567;
    int SavedState = 0;  // 0 normal, 1 minimized, 2 maximized
    QString LastReadDir;
    QString LastWriteDir;
    QString HelpFile;                            // the executable's folder + "Tavrin.chm"
    QString SettingsPath;                        // the file read at start-up and written at close
    QString SettingsWrittenTo;                   // where the settings went at close (empty: nowhere)
    bool pumGobanAutoPopup = true;               // pumGoban opens on the board's right button
    int FskJskSize = 230;                        // width of the explorer pane
    int CommentSize = 110;                       // height (width when docked at a side) of the comment window
    int CommentArea = Qt::BottomDockWidgetArea;  // where the comment window docks when made
    int TreeSize = 130;                          // height (width when docked at a side) of 変化図
    int TreeArea = Qt::BottomDockWidgetArea;     // where 変化図 docks when made
    QStringList LibraryFolders;                  // [Library]
    EngineSettings Engine;                       // [Engine]
    int GraphSize = 120;                         // height of 形勢グラフ
};

}  // namespace tavrin
