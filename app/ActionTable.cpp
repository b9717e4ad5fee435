#include "app/ActionTable.h"

#include "app/TfrmMain.h"

namespace tavrin {

namespace {

using F = CommandFacts;

CommandState on(bool enabled) { return {enabled, true}; }
// The computer's commands show exactly when its program is found.
CommandState engine(const F& f, bool enabled) { return {f.engineFound && enabled, f.engineFound}; }
CommandState back(const F& f) { return on(f.replaying() && f.currentMove > 1); }
CommandState forward(const F& f) { return on(f.replaying() && f.currentMove <= f.moveCount); }
CommandState personMoves(const F& f) { return on(f.playing() && !f.moving() && !f.computersTurn()); }

}  // namespace

const std::vector<ActionRow>& actionTable() {
    using C = CheckKind;
    using G = RadioGroup;
    using W = TfrmMain;
    static const std::vector<ActionRow> table = {
        // ファイル
        {"actFileOpen", "ファイル", "", "", "", -1, C::None, G::None, 0, &MainControls::actFileOpen,
         &W::actFileOpenExecute, nullptr},
        {"actFileOpenCK", "ファイル", "棋譜の読み込み(&O)...", "棋譜の読み込み", "Ctrl+O", 0, C::None, G::None, 0,
         &MainControls::actFileOpenCK, &W::actFileOpenCKExecute, nullptr},
        {"actFileReOpen", "ファイル", "棋譜の再読み込み(&R)", "棋譜の再読み込み", "", 13, C::None, G::None, 0,
         &MainControls::actFileReOpen, &W::actFileReOpenExecute,
         [](const F& f) { return on(f.modified && f.hasFileName); }},
        {"actFileSave", "ファイル", "棋譜の上書き保存(&S)", "棋譜を上書き保存する", "Ctrl+S", 1, C::None, G::None, 0,
         &MainControls::actFileSave, &W::actFileSaveExecute, [](const F& f) { return on(f.modified); }},
        {"actFileSaveAs", "ファイル", "名前の別名保存(&A)...", "棋譜に別名をつけて保存する", "", 11, C::None, G::None,
         0, &MainControls::actFileSaveAs, &W::actFileSaveAsExecute, nullptr},
        {"actFileExit", "ファイル", "Tavrinを終了する(&X)", "Tavrinを終了する", "", -1, C::None, G::None, 0,
         &MainControls::actFileExit, &W::actFileExitExecute, nullptr},
        {"actClipBoard", "ファイル", "棋譜をコピー(&C)", "棋譜をsgf形式でコピー", "Ctrl+C", 22, C::None, G::None, 0,
         &MainControls::actClipBoard, &W::actClipBoardExecute, nullptr},
        {"actClipPast", "ファイル", "棋譜を貼り付け(&V)", "sgf形式の棋譜を貼り付け", "Ctrl+V", 23, C::None, G::None, 0,
         &MainControls::actClipPast, &W::actClipPastExecute, nullptr},
        // 対局
        {"actPlayNew", "対局", "新規対局(&N)", "新規対局", "Ctrl+N", 14, C::None, G::None, 0, &MainControls::actPlayNew,
         &W::actPlayNewExecute, nullptr},
        {"actPlayConfig", "対局", "対局情報(&D)", "対局情報", "Ctrl+D", -1, C::None, G::None, 0,
         &MainControls::actPlayConfig, &W::actPlayConfigExecute, nullptr},
        {"actPlayStop", "対局", "対局中断(&B)", "対局を中断する", "Ctrl+B", 20, C::None, G::None, 0,
         &MainControls::actPlayStop, &W::actPlayStopExecute, [](const F& f) { return on(f.playing()); }},
        {"actPlayResume", "対局", "対局再開(&R)", "対局を再開する", "Ctrl+R", 16, C::None, G::None, 0,
         &MainControls::actPlayResume, &W::actPlayResumeExecute,
         [](const F& f) {
             // Play goes on from the record's own line; a variation is only looked at.
             return on(f.replaying() && !f.studying() && f.onMainLine &&
                       !(f.currentMove > f.moveCount && f.endedByPasses));
         }},
        {"actPlayPass", "対局", "パス(&P)", "パスをする", "Ctrl+P", 18, C::None, G::None, 0, &MainControls::actPlayPass,
         &W::actPlayPassExecute, personMoves},
        {"actPlayMatta", "対局", "待った(&M)", "待ったをする", "Ctrl+M", 24, C::None, G::None, 0,
         &MainControls::actPlayMatta, &W::actPlayMattaExecute,
         [](const F& f) {
             return on((f.playing() && f.currentMove >= 2 && !f.moving()) ||
                       (f.mode == Mode::Study && f.studyTakeBack));
         }},
        {"actPlayGiveUp", "対局", "投了(&T)", "投了をする", "Ctrl+T", 19, C::None, G::None, 0,
         &MainControls::actPlayGiveUp, &W::actPlayGiveUpExecute, personMoves},
        {"actPlayStnChg", "対局", "石替り(&Q)", "石替えをする", "Ctrl+Q", -1, C::None, G::None, 0,
         &MainControls::actPlayStnChg, &W::actPlayStnChgExecute,
         [](const F& f) { return engine(f, f.playing() && !f.busy() && f.personAndComputer); }},
        {"actPlayHint", "対局", "ヒント(&H)", "ヒントを表示する", "Ctrl+H", -1, C::None, G::None, 0,
         &MainControls::actPlayHint, &W::actPlayHintExecute,
         [](const F& f) { return engine(f, f.playing() && !f.busy() && !f.computerToMove); }},
        {"actPlayKeisei", "対局", "形勢判断(&K)", "形勢判断をする", "Ctrl+K", -1, C::None, G::None, 0,
         &MainControls::actPlayKeisei, &W::actPlayKeiseiExecute, [](const F& f) { return on(!f.counting()); }},
        {"actPlayEdit", "対局", "盤面編集(&E)", "盤面を編集する", "Ctrl+E", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actPlayEdit, &W::actPlayEditExecute,
         [](const F& f) { return on(!f.counting() && !f.moving() && (f.replaying() || f.freshGame)); }},
        {"actPlayKentou", "対局", "検討をする(&Y)", "検討を始める", "Ctrl+Y", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actPlayKentou, &W::actPlayKentouExecute,
         [](const F& f) { return on(!f.counting() && !f.moving()); }},
        {"actPlayUtinaosi", "対局", "打ち直し(&U)", "コンピュータの着手を変える", "Ctrl+U", -1, C::None, G::None, 0,
         &MainControls::actPlayUtinaosi, &W::actPlayUtinaosiExecute,
         [](const F& f) { return engine(f, f.playing() && !f.busy() && f.computerMovedLast && !f.computerToMove); }},
        {"actPlayCount", "対局", "終局計算(&J)", "地を数えて勝敗を決める", "", -1, C::None, G::None, 0,
         &MainControls::actPlayCount, &W::actPlayCountExecute,
         [](const F& f) { return on(f.replaying() && !f.counting() && !f.studying() && !f.busy()); }},
        // 棋譜観賞: the menu items carry the captions these actions lack.
        {"actKifuAuto", "棋譜観賞", "", "自動再生開始", "Ctrl+A", 9, C::None, G::None, 0, &MainControls::actKifuAuto,
         &W::actKifuAutoExecute, forward},
        {"actKifuFirst", "棋譜観賞", "", "最初に戻す", "Ctrl+Up; Home", 3, C::None, G::None, 0,
         &MainControls::actKifuFirst, &W::actKifuFirstExecute, back},
        {"actKifuLast", "棋譜観賞", "", "最後に飛ぶ", "Ctrl+Down; End", 8, C::None, G::None, 0,
         &MainControls::actKifuLast, &W::actKifuLastExecute, forward},
        {"actKifuBack", "棋譜観賞", "", "１手戻す", "Ctrl+Left; Left", 5, C::None, G::None, 0,
         &MainControls::actKifuBack, &W::actKifuBackExecute, back},
        {"actKifuNext", "棋譜観賞", "", "１手進む", "Ctrl+Right; Right", 6, C::None, G::None, 0,
         &MainControls::actKifuNext, &W::actKifuNextExecute, forward},
        {"actKifuBack10", "棋譜観賞", "", "10手戻す", "Ctrl+Shift+Left; PgUp", 4, C::None, G::None, 0,
         &MainControls::actKifuBack10, &W::actKifuBack10Execute, back},
        {"actKifuNext10", "棋譜観賞", "", "10手進む", "Ctrl+Shift+Right; PgDown", 7, C::None, G::None, 0,
         &MainControls::actKifuNext10, &W::actKifuNext10Execute, forward},
        {"actKifuVarNext", "棋譜観賞", "次の変化(&N)", "次の変化に切り替える", "Alt+Down; Down", -1, C::None, G::None,
         0, &MainControls::actKifuVarNext, &W::actKifuVarNextExecute,
         [](const F& f) { return on(f.replaying() && f.nextVariation); }},
        {"actKifuVarPrev", "棋譜観賞", "前の変化(&P)", "前の変化に切り替える", "Alt+Up; Up", -1, C::None, G::None, 0,
         &MainControls::actKifuVarPrev, &W::actKifuVarPrevExecute,
         [](const F& f) { return on(f.replaying() && f.prevVariation); }},
        {"actKifuVarBranch", "棋譜観賞", "分岐点に戻る(&R)", "変化の分かれた局面に戻る", "Alt+Left", -1, C::None,
         G::None, 0, &MainControls::actKifuVarBranch, &W::actKifuVarBranchExecute,
         [](const F& f) { return on(f.replaying() && f.branchAbove); }},
        {"actKifuGoTo", "棋譜観賞", "手数指定(&G)...", "手数を指定してその局面を表示する", "Ctrl+G", -1, C::None,
         G::None, 0, &MainControls::actKifuGoTo, &W::actKifuGoToExecute, [](const F& f) { return on(f.edits()); }},
        {"actKifuNextComment", "棋譜観賞", "次のコメント(&E)", "次のコメントのある局面に進む", "Ctrl+Shift+Down", -1,
         C::None, G::None, 0, &MainControls::actKifuNextComment, &W::actKifuNextCommentExecute,
         [](const F& f) { return on(f.edits()); }},
        {"actKifuPrevComment", "棋譜観賞", "前のコメント(&O)", "前のコメントのある局面に戻る", "Ctrl+Shift+Up", -1,
         C::None, G::None, 0, &MainControls::actKifuPrevComment, &W::actKifuPrevCommentExecute,
         [](const F& f) { return on(f.edits()); }},
        {"actKifuMainLine", "棋譜観賞", "本譜に戻る(&M)", "本譜の同じ手数の局面に戻る", "", -1, C::None, G::None, 0,
         &MainControls::actKifuMainLine, &W::actKifuMainLineExecute,
         [](const F& f) { return on(f.edits() && !f.onMainLine); }},
        {"actKifuSpedd05", "棋譜観賞", "0.5秒 間隔(&0)", "", "Ctrl+0", -1, C::AutoUnchecked, G::Speed, 500,
         &MainControls::actKifuSpedd05, &W::actKifuSpedd05Execute, nullptr},
        {"actKifuSpedd10", "棋譜観賞", "1.0秒 間隔(&1)", "", "Ctrl+1", -1, C::AutoUnchecked, G::Speed, 1000,
         &MainControls::actKifuSpedd10, &W::actKifuSpedd10Execute, nullptr},
        {"actKifuSpedd20", "棋譜観賞", "2.0秒 間隔(&2)", "", "Ctrl+2", -1, C::AutoUnchecked, G::Speed, 2000,
         &MainControls::actKifuSpedd20, &W::actKifuSpedd20Execute, nullptr},
        {"actKifuSpedd30", "棋譜観賞", "3.0秒 間隔(&3)", "", "Ctrl+3", -1, C::AutoUnchecked, G::Speed, 3000,
         &MainControls::actKifuSpedd30, &W::actKifuSpedd30Execute, nullptr},
        {"actKifuSpedd40", "棋譜観賞", "4.0秒 間隔(&4)", "", "Ctrl+4", -1, C::AutoUnchecked, G::Speed, 4000,
         &MainControls::actKifuSpedd40, &W::actKifuSpedd40Execute, nullptr},
        {"actKifuSpedd50", "棋譜観賞", "5.0秒 間隔(&5)", "", "Ctrl+5", -1, C::AutoUnchecked, G::Speed, 5000,
         &MainControls::actKifuSpedd50, &W::actKifuSpedd50Execute, nullptr},
        // 表示
        {"actDispZahyou", "表示", "座標表示(&Z)", "座標表示をする", "", -1, C::Checked, G::None, 0,
         &MainControls::actDispZahyou, &W::actDispZahyouExecute, nullptr},
        {"actDispGbnHanten", "表示", "碁盤反転(&H)", "碁盤を反転させる", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actDispGbnHanten, &W::actDispGbnHantenExecute, nullptr},
        {"actDispToolBar", "表示", "ツールバー(&T)", "ツールバー", "", -1, C::Checked, G::None, 0,
         &MainControls::actDispToolBar, &W::actDispToolBarExecute, nullptr},
        {"actDispToolBarTop", "表示", "上に移動(&T)", "上に移動", "", -1, C::AutoChecked, G::Position, 0,
         &MainControls::actDispToolBarTop, &W::actDispToolBarTopExecute, nullptr},
        {"actDispToolBarBottom", "表示", "下に移動(&B)", "下に移動", "", -1, C::AutoUnchecked, G::Position, 0,
         &MainControls::actDispToolBarBottom, &W::actDispToolBarBottomExecute, nullptr},
        {"actDispToolBarLeft", "表示", "左に移動(&L)", "左に移動", "", -1, C::AutoUnchecked, G::Position, 0,
         &MainControls::actDispToolBarLeft, &W::actDispToolBarLeftExecute, nullptr},
        {"actDispToolBarRight", "表示", "右に移動(&R)", "右に移動", "", -1, C::AutoUnchecked, G::Position, 0,
         &MainControls::actDispToolBarRight, &W::actDispToolBarRightExecute, nullptr},
        {"actDispDataPanel", "表示", "情報表示パネル(&P)", "情報表示パネルを標示する", "", -1, C::Checked, G::None, 0,
         &MainControls::actDispDataPanel, &W::actDispDataPanelExecute, nullptr},
        {"actDispPanelKifuBtn", "表示", "棋譜観賞ボタン(&B)", "棋譜観賞ボタンを表示する", "", -1, C::Checked, G::None,
         0, &MainControls::actDispPanelKifuBtn, &W::actDispPanelKifuBtnExecute, nullptr},
        {"actDispStatusBar", "表示", "ステータスバー(&S)", "ステータスバーを表示する", "", -1, C::Checked, G::None, 0,
         &MainControls::actDispStatusBar, &W::actDispStatusBarExecute, nullptr},
        {"actDispTejun", "表示", "手順表示(&J)", "手順表示", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actDispTejun, &W::actDispTejunExecute, nullptr},
        {"actDispVariations", "表示", "変化の表示(&V)", "次の手の変化を碁盤に表示する", "", -1, C::AutoChecked, G::None,
         0, &MainControls::actDispVariations, &W::actDispVariationsExecute, nullptr},
        {"actDispOpenAtStart", "表示", "開いたら初手の前(&O)", "棋譜を開いたら最初の局面を表示する", "", -1,
         C::AutoUnchecked, G::None, 0, &MainControls::actDispOpenAtStart, &W::actDispOpenAtStartExecute, nullptr},
        {"actDispFskJsk", "表示", "布石定石(&F)", "布石定石を表示する", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actDispFskJsk, &W::actDispFskJskExecute, nullptr},
        {"actDispKifu", "表示", "棋譜ウィンドウ(&K)", "棋譜ウィンドウを表示する", "", -1, C::None, G::None, 0,
         &MainControls::actDispKifu, &W::actDispKifuExecute, nullptr},
        {"actDispComment", "表示", "コメントウィンドウ(&C)", "コメントウィンドウを標示する", "", -1, C::AutoUnchecked,
         G::None, 0, &MainControls::actDispComment, &W::actDispCommentExecute, nullptr},
        {"actDispTree", "表示", "変化図(&G)", "変化図を表示する", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actDispTree, &W::actDispTreeExecute, nullptr},
        {"actDispConfig", "表示", "環境設定(&D)", "その他の環境設定をする", "", 12, C::None, G::None, 0,
         &MainControls::actDispConfig, &W::actDispConfigExecute, nullptr},
        // 編集
        {"actEditUndo", "編集", "元に戻す(&U)", "直前の編集を取り消す", "Ctrl+Z", -1, C::None, G::None, 0,
         &MainControls::actEditUndo, &W::actEditUndoExecute, [](const F& f) { return on(f.edits() && f.canUndo); }},
        {"actEditRedo", "編集", "やり直す(&R)", "取り消した編集をやり直す", "Ctrl+Shift+Z", -1, C::None, G::None, 0,
         &MainControls::actEditRedo, &W::actEditRedoExecute, [](const F& f) { return on(f.edits() && f.canRedo); }},
        {"actEditDelete", "編集", "この変化を削除(&D)", "表示中の変化をその先ごと削除する", "", -1, C::None, G::None, 0,
         &MainControls::actEditDelete, &W::actEditDeleteExecute,
         [](const F& f) { return on(f.edits() && f.variationShown); }},
        {"actEditPromote", "編集", "本譜にする(&M)", "表示中の変化を本譜にする", "", -1, C::None, G::None, 0,
         &MainControls::actEditPromote, &W::actEditPromoteExecute,
         [](const F& f) { return on(f.edits() && f.variationShown); }},
        {"actEditUp", "編集", "変化を上へ(&P)", "変化の順番を一つ上げる", "", -1, C::None, G::None, 0,
         &MainControls::actEditUp, &W::actEditUpExecute, [](const F& f) { return on(f.edits() && f.upVariation); }},
        {"actEditDown", "編集", "変化を下へ(&N)", "変化の順番を一つ下げる", "", -1, C::None, G::None, 0,
         &MainControls::actEditDown, &W::actEditDownExecute,
         [](const F& f) { return on(f.edits() && f.downVariation); }},
        {"actEditCut", "編集", "以降を削除(&X)", "表示中の局面より後をすべて削除する", "", -1, C::None, G::None, 0,
         &MainControls::actEditCut, &W::actEditCutExecute, [](const F& f) { return on(f.edits() && f.laterNodes); }},
        // Annotations set by hand, each a step of the history.
        {"actEditBM", "編集", "悪手(&B)", "この手を悪手とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditBM, &W::actEditBMExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditDO", "編集", "疑問手(&D)", "この手を疑問手とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditDO, &W::actEditDOExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditIT", "編集", "面白い手(&I)", "この手を面白い手とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditIT, &W::actEditITExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditTE", "編集", "好手(&T)", "この手を好手とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditTE, &W::actEditTEExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditGB", "編集", "黒好調(&G)", "この局面を黒好調とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditGB, &W::actEditGBExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditGW", "編集", "白好調(&W)", "この局面を白好調とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditGW, &W::actEditGWExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditDM", "編集", "互角(&E)", "この局面を互角とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditDM, &W::actEditDMExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditUC", "編集", "形勢不明(&U)", "この局面を形勢不明とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditUC, &W::actEditUCExecute, [](const F& f) { return on(f.edits()); }},
        {"actEditHO", "編集", "要所(&H)", "この局面を要所とする", "", -1, C::AutoUnchecked, G::None, 0,
         &MainControls::actEditHO, &W::actEditHOExecute, [](const F& f) { return on(f.edits()); }},
        // ヘルプ
        {"actHelpContents", "ヘルプ", "目次(&C)", "ヘルプの目次を表示する", "F1", 2, C::None, G::None, 0,
         &MainControls::actHelpContents, &W::actHelpContentsExecute, nullptr},
        {"actHelpIndex", "ヘルプ", "キーワード(&I)", "", "", -1, C::None, G::None, 0, &MainControls::actHelpIndex,
         &W::actHelpIndexExecute, nullptr},
        {"actHelpAbout", "ヘルプ", "バージョン情報(&A)", "バージョン情報を表示する", "", -1, C::None, G::None, 0,
         &MainControls::actHelpAbout, &W::actHelpAboutExecute, nullptr},
        // その他
        {"actPnlMainReSize", "その他", "", "", "", -1, C::None, G::None, 0, &MainControls::actPnlMainReSize,
         &W::actPnlMainReSizeExecute, nullptr},
        {"actCansel", "その他", "キャンセル(&C)", "ポップアップメニューを閉じる", "", -1, C::None, G::None, 0,
         &MainControls::actCansel, &W::actCanselExecute, nullptr},
    };
    return table;
}

}  // namespace tavrin
