#include "app/MainWindow.h"

#include "app/AppResources.h"
#include "app/LevelGauge.h"
#include "app/ReadyPictures.h"
#include "lists/ChoiceList.h"
#include "tables/Points.h"
#include "tables/SharedTables.h"
#include "textfile/DataFile.h"
#include "toolkit/CutTextTips.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/HelpViewer.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/ScrollBarKeys.h"
#include "toolkit/Twips.h"
#include "toolkit/TypedChoiceBox.h"
#include "windows/ArtistWindow.h"
#include "windows/EncodingQuestion.h"
#include "windows/FailureWords.h"
#include "windows/PrivateWindow.h"
#include "windows/RestoreWindow.h"
#include "windows/SearchWindow.h"
#include "windows/SongHistoryWindow.h"
#include "windows/SortWindow.h"
#include "windows/StatisticsWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QFrame *makeFrame(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    placeTwips(frame, left, top, width, height);
    return frame;
}

QLabel *makeLabel(
    QWidget *parent, const QString &name, const QString &caption, int left, int top, int width, int height)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    placeTwips(label, left, top, width, height);
    return label;
}

QComboBox *makeEditableCombo(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    QComboBox *box = makeTypedChoiceBox(parent);
    box->setObjectName(name);
    placeTwips(box, left, top, width, height);
    return box;
}

/// Leaving an editable box whose text names one of its items makes the box report that item as
/// picked, as a click would. The item is made current quietly first, so that there is nothing left
/// to report: a typed name is only ever a choice.
void keepTypedTextUnpicked(QComboBox *box)
{
    const int typed = box->findText(box->currentText());
    if (typed < 0 || box->itemText(box->currentIndex()) == box->currentText())
        return;
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(typed);
}

/// Sets the box's text and shows it from its start, as a long place name reads best.
void showBoxText(QComboBox *box, const QString &text)
{
    box->setEditText(text);
    box->lineEdit()->setCursorPosition(0);
}

} // namespace

MainWindow::MainWindow(TablesReading &reading)
    : QWidget(nullptr,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint)
{
    loadAppResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Crooner's DB"));
    setFont(msPGothic(9));

    // The controls keep their places in the client area; the menu bar sits above it and the
    // window grows by the bar's height.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_client->setFixedSize(twipsToPixels(9435), twipsToPixels(6750));
    buildToolbar();
    auto *frame1 = makeFrame(m_client, QStringLiteral("Frame1"), 90, 1050, 9240, 5595);
    buildTotals(frame1);
    buildEntryInputs(frame1);
    buildSongPicker(frame1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(buildMenuBar());
    layout->addWidget(m_client);
    layout->activate();
    connectControls();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load(reading);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolbar()
{
    const auto makeButton
        = [this](const QString &name, const QString &caption, const QString &tip, const char *icon, int left) {
              auto *button = new QToolButton(m_client);
              button->setObjectName(name);
              button->setText(caption);
              button->setToolTip(tip);
              button->setIcon(pictures::readyIcon(icon, { pictures::ToolbarPicture, pictures::ToolbarPicture * 2 }));
              button->setIconSize(pictures::ToolbarPicture);
              button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
              placeTwips(button, left, 75, 840, 915);
              return button;
          };
    cmdNew = makeButton(
        QStringLiteral("cmdNew"), QStringLiteral("新規"), QStringLiteral("新しい日記を作成します"), "new", 150);
    cmdTouroku = makeButton(
        QStringLiteral("cmdTouroku"), QStringLiteral("登録"), QStringLiteral("日記を保存します"), "register", 975);
    cmdSort = makeButton(
        QStringLiteral("cmdSort"), QStringLiteral("分析"), QStringLiteral("登録曲の一覧など"), "analysis", 1800);
    cmdKasyu = makeButton(
        QStringLiteral("cmdKasyu"), QStringLiteral("歌手"), QStringLiteral("アーティストデータベース"), "singer", 2625);
    cmdPrivate = makeButton(
        QStringLiteral("cmdPrivate"), QStringLiteral("設定"), QStringLiteral("ポイントの設定"), "settings", 3450);
    cmdHelp = makeButton(
        QStringLiteral("cmdHelp"), QStringLiteral("ヘルプ"), QStringLiteral("ヘルプファイルを開きます"), "help", 4275);
    cmdEnd = makeButton(
        QStringLiteral("cmdEnd"), QStringLiteral("修了"), QStringLiteral("プログラムを終了します"), "end", 8475);

    lblPoint = makeLabel(m_client, QStringLiteral("lblPoint"), QString(), 5850, 225, 1350, 240);
    lblPoint->setFont(msPGothic(12));

    for (int i = 0; i < int(shpLevel.size()); ++i) {
        const GaugeBar &bar = gaugeBar(i);
        auto *shape = new QFrame(m_client);
        shape->setObjectName(QStringLiteral("shpLevel%1").arg(i + 1));
        shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        shape->setAutoFillBackground(true);
        QPalette palette = shape->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        shape->setPalette(palette);
        placeTwips(shape, bar.left, bar.top, bar.width, bar.height);
        shpLevel[i] = shape;
    }
}

void MainWindow::buildTotals(QWidget *frame1)
{
    auto *frame3 = makeFrame(frame1, QStringLiteral("Frame3"), 150, 150, 2790, 1815);
    const QStringList captions { QStringLiteral("登録アーティスト"), QStringLiteral("登録曲数"),
        QStringLiteral("唄った回数"), QStringLiteral("利用時間累計"), QStringLiteral("評価ポイント") };
    const std::array<QLabel **, 5> values { &lblNinzu, &lblKyoku, &lblKaisu, &lblJikan, &lblHpoint };
    const QStringList valueNames { QStringLiteral("lblNinzu"), QStringLiteral("lblKyoku"), QStringLiteral("lblKaisu"),
        QStringLiteral("lblJikan"), QStringLiteral("lblHpoint") };
    for (int i = 0; i < 5; ++i) {
        const int top = 225 + 300 * i;
        makeLabel(frame3, QStringLiteral("Label2_%1").arg(i), captions[i], 150, top, 1560, 240);
        *values[i] = makeLabel(frame3, valueNames[i], QString(), 1755, top, 885, 240);
        (*values[i])->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

void MainWindow::buildEntryInputs(QWidget *frame1)
{
    auto *frame2 = makeFrame(frame1, QStringLiteral("Frame2"), 135, 1950, 2805, 3180);
    const QStringList captions { QStringLiteral("日付"), QStringLiteral("時間"), QStringLiteral("場所") };
    for (int i = 0; i < 3; ++i) {
        auto *label = makeLabel(frame2, QStringLiteral("Label1_%1").arg(i), captions[i], 150, 225 + 375 * i, 480, 345);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    cboDate = makeEditableCombo(frame2, QStringLiteral("cboDate"), 650, 225, 1995, 345);
    cboJikan = makeEditableCombo(frame2, QStringLiteral("cboJikan"), 650, 600, 1995, 345);
    cboBasyo = makeEditableCombo(frame2, QStringLiteral("cboBasyo"), 650, 975, 1995, 345);
    QPalette teal = cboBasyo->palette();
    teal.setColor(QPalette::Base, QColor(0, 128, 128));
    teal.setColor(QPalette::Text, Qt::white);
    cboBasyo->setPalette(teal);

    cmdMember = new QPushButton(QStringLiteral("メンバー"), frame2);
    cmdMember->setObjectName(QStringLiteral("cmdMember"));
    placeTwips(cmdMember, 150, 1455, 2475, 375);
    // Created after its button, so that the box covers the button while both are visible.
    cboMember = makeEditableCombo(frame2, QStringLiteral("cboMember"), 150, 1500, 2475, 345);
    cboMember->hide();

    lstMents = new QListWidget(frame2);
    lstMents->setObjectName(QStringLiteral("lstMents"));
    lstMents->setSelectionMode(QAbstractItemView::SingleSelection);
    placeTwips(lstMents, 150, 1875, 2475, 1185);
    repaintOnActivationOnlyWhenSeen(lstMents);
    for (QWidget *control : QList<QWidget *> { cboBasyo, cboMember, lstMents })
        tipCutText(control);
}

void MainWindow::buildSongPicker(QWidget *frame1)
{
    cmdInpKyoku = new QPushButton(QStringLiteral("曲目　＆　アーティスト名"), frame1);
    cmdInpKyoku->setObjectName(QStringLiteral("cmdInpKyoku"));
    placeTwips(cmdInpKyoku, 3075, 300, 6000, 375);
    cboInpKyoku = new QComboBox(frame1);
    cboInpKyoku->setObjectName(QStringLiteral("cboInpKyoku"));
    m_songTitles = new QStringListModel(cboInpKyoku);
    cboInpKyoku->setModel(m_songTitles);
    cboInpKyoku->setMaxVisibleItems(20);
    placeTwips(cboInpKyoku, 3105, 300, 5955, 345);
    tipCutText(cboInpKyoku);
    cboInpKyoku->hide();

    msgSenkyoku = new FlexGrid(frame1);
    msgSenkyoku->setObjectName(QStringLiteral("msgSenkyoku"));
    placeTwips(msgSenkyoku, 3075, 750, 6000, 4395);

    hsbData = new QScrollBar(Qt::Horizontal, frame1);
    hsbData->setObjectName(QStringLiteral("hsbData"));
    hsbData->setRange(1, 1);
    hsbData->setSingleStep(1);
    hsbData->setPageStep(1);
    // Change fires when the thumb is let go, Scroll while it is dragged.
    hsbData->setTracking(false);
    stepByArrowKeys(hsbData);
    // Its menu's "scroll here" would move it past the question about a typed outing.
    hsbData->setContextMenuPolicy(Qt::NoContextMenu);
    placeTwips(hsbData, 150, 5250, 7635, 240);

    lblKensu = makeLabel(frame1, QStringLiteral("lblKensu"), QString(), 7950, 5250, 1095, 195);
}

void MainWindow::connectControls()
{
    connect(cmdNew, &QToolButton::clicked, this, &MainWindow::cmdNew_Click);
    connect(cmdTouroku, &QToolButton::clicked, this, &MainWindow::cmdTouroku_Click);
    connect(cmdSort, &QToolButton::clicked, this, &MainWindow::cmdSort_Click);
    connect(cmdKasyu, &QToolButton::clicked, this, &MainWindow::cmdKasyu_Click);
    connect(cmdPrivate, &QToolButton::clicked, this, &MainWindow::cmdPrivate_Click);
    connect(cmdHelp, &QToolButton::clicked, this, &MainWindow::cmdHelp_Click);
    connect(cmdEnd, &QToolButton::clicked, this, &MainWindow::cmdEnd_Click);
    connect(hsbData, &QScrollBar::valueChanged, this, &MainWindow::hsbData_Change);
    connect(hsbData, &QScrollBar::sliderMoved, this, &MainWindow::hsbData_Scroll);
    connect(hsbData, &QScrollBar::actionTriggered, this, &MainWindow::askBeforeScrollBarMove);
    msgSenkyoku->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(msgSenkyoku, &FlexGrid::customContextMenuRequested, this, &MainWindow::msgSenkyoku_ContextMenu);

    connect(cmdInpKyoku, &QPushButton::clicked, this, &MainWindow::cmdInpKyoku_Click);
    connect(cmdMember, &QPushButton::clicked, this, &MainWindow::cmdMember_Click);
    // activated is the user's pick in the open list, never a refill; the keys over a closed box and
    // leaving the member box with a typed name report one too, which the event filter forestalls.
    connect(cboInpKyoku, &QComboBox::activated, this, &MainWindow::cboInpKyoku_Click);
    connect(cboMember, &QComboBox::activated, this, &MainWindow::cboMember_Click);
    lstMents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstMents, &QListWidget::customContextMenuRequested, this, &MainWindow::lstMents_ContextMenu);
    for (QWidget *control :
        QList<QWidget *> { cboDate, cboJikan, cboBasyo, cboMember, cboInpKyoku, lstMents, msgSenkyoku })
        control->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A wheel turned over a pick list would add a member or a song for every notch.
    if (event->type() == QEvent::Wheel && (watched == cboMember || watched == cboInpKyoku))
        return true;
    if (event->type() == QEvent::FocusOut && watched == cboMember)
        keepTypedTextUnpicked(cboMember);
    // The member list and the song grid page through their own rows with PageUp and PageDown.
    if (event->type() == QEvent::ShortcutOverride && (watched == lstMents || watched == msgSenkyoku)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            event->accept();
            return true;
        }
    }
    // A text box keeps the undo and redo keys for its typing, Ctrl+Y too, which it takes for
    // nothing on some desktops: the diary's items act only away from the boxes.
    if (const auto *box = qobject_cast<QComboBox *>(watched);
        box && box->isEditable() && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence keys(static_cast<QKeyEvent *>(event)->keyCombination());
        if (m_undoItem->shortcuts().contains(keys) || m_redoItem->shortcuts().contains(keys)) {
            event->accept();
            return true;
        }
    }
    // The pick lists and the outing's member and song lists have keys of their own.
    if (event->type() == QEvent::KeyPress && pickerKeyPress(watched, static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter is taken here so that the line edit does not also pick the typed name.
            if (watched == cboBasyo) {
                cboBasyo_KeyPress();
                return true;
            }
            if (watched == cboMember) {
                cboMember_KeyPress();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::Form_Load(TablesReading &reading)
{
    SetUpSongGrid();
    ReadTables read = reading.finish();
    const TableReads results = read.results;
    m_tables = std::make_unique<SharedTables>(std::move(read));
    connect(m_tables.get(), &SharedTables::changed, this, &MainWindow::tablesChanged);

    failurewords::report(this, results.personal);
    failurewords::report(this, results.diary);
    showDiaryRange();
    failurewords::report(this, results.songs);
    failurewords::report(this, results.artists);

    FillChoiceLists();
    // Before anything is shown of them or written to them.
    readAgainInAnsweredEncodings();
    setWindowTitle(QStringLiteral("Crooner's Diary  ") + m_tables->personal().userName);
    hsbData->setValue(m_tables->diary().entryCount());
    ShowEntry();
    showPoints();
    failurewords::reportForeignEncodings(this, textfile::foreignEncodedFiles());
    failurewords::reportUndecodableBytes(this, textfile::filesWithUndecodableBytes());
}

void MainWindow::readAgainInAnsweredEncodings()
{
    const QDir &folder = m_tables->dataFolder();
    const QStringList changed = askGuessedEncodings(this,
        { DiaryBook::FileName, SongCatalogue::FileName, ArtistCatalogue::FileName, PersonalData::FileName,
            choicelist::PlaceFile, choicelist::MemberFile });
    const auto answeredOtherwise = [&changed](const QString &name) {
        return std::any_of(changed.cbegin(), changed.cend(),
            [&name](const QString &file) { return textfile::sameDataFileName(file, name); });
    };
    for (const auto &[file, table] :
        { std::pair(DiaryBook::FileName, SharedTables::Diary), std::pair(SongCatalogue::FileName, SharedTables::Songs),
            std::pair(ArtistCatalogue::FileName, SharedTables::Artists),
            std::pair(PersonalData::FileName, SharedTables::Personal) }) {
        if (answeredOtherwise(file))
            failurewords::report(this, m_tables->readAgain(table));
    }
    for (const auto &[box, file] :
        { std::pair(cboBasyo, choicelist::PlaceFile), std::pair(cboMember, choicelist::MemberFile) }) {
        if (!answeredOtherwise(file))
            continue;
        box->clear();
        box->addItems(choicelist::read(folder, file));
        box->setCurrentIndex(-1);
    }
}

void MainWindow::SetUpSongGrid()
{
    msgSenkyoku->setCols(3);
    msgSenkyoku->setColWidth(0, 380);
    msgSenkyoku->setColWidth(1, 2870);
    msgSenkyoku->setColWidth(2, 2400);
    msgSenkyoku->setTextAt(0, 0, QStringLiteral("№"));
    msgSenkyoku->setTextAt(0, 1, QStringLiteral("曲名"));
    msgSenkyoku->setTextAt(0, 2, QStringLiteral("アーティスト名"));
    for (int col = 0; col < 3; ++col)
        msgSenkyoku->setFixedAlignment(col, FlexGrid::CenterCenter);
    msgSenkyoku->setColAlignment(1, FlexGrid::LeftCenter);
    msgSenkyoku->setColAlignment(2, FlexGrid::LeftCenter);
}

void MainWindow::showDiaryRange()
{
    const int count = m_tables->diary().entryCount();
    hsbData->setRange(1, std::max(1, count));
    // Outings added elsewhere (an import) leave the one shown, but not the count beside it.
    if (count > 0)
        lblKensu->setText(QStringLiteral("%1 / %2").arg(hsbData->value()).arg(count));
}

void MainWindow::tablesChanged(SharedTables::Tables what)
{
    if (what & SharedTables::Diary) {
        showDiaryRange();
        // The analysis window's date list was made from the book as it was.
        m_sortWindow.close();
    }
    if (what & SharedTables::Songs)
        refillSongChoices();
    if (what & SharedTables::Personal)
        setWindowTitle(QStringLiteral("Crooner's DB  ") + m_tables->personal().userName);
    if (what & SharedTables::Lists) {
        for (const auto &[box, file] :
            { std::pair(cboBasyo, choicelist::PlaceFile), std::pair(cboMember, choicelist::MemberFile) }) {
            const QString typed = box->currentText();
            box->clear();
            box->addItems(choicelist::read(m_tables->dataFolder(), file));
            box->setCurrentText(typed);
        }
    }
    // What was typed belonged to the data the user chose to put back: the outing is shown as restored.
    if (what & SharedTables::Restored && what & SharedTables::Diary) {
        hsbData->setValue(std::min(hsbData->value(), m_tables->diary().entryCount()));
        ShowEntry();
    }
    showPoints();
    showStepItems();
}

void MainWindow::FillChoiceLists()
{
    const QDate today = QDate::currentDate();
    for (int i = 0; i < 32; ++i)
        cboDate->addItem(today.addDays(-i).toString(QStringLiteral("yyyy年MM月dd日")));
    cboJikan->addItems({ QStringLiteral("1.0"), QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("2.5"),
        QStringLiteral("3.0"), QStringLiteral("3.5"), QStringLiteral("4.0"), QStringLiteral("4.5"),
        QStringLiteral("5.0"), QStringLiteral("5.5"), QStringLiteral("6.0") });
    cboBasyo->addItems(choicelist::read(m_tables->dataFolder(), choicelist::PlaceFile));
    cboMember->addItems(choicelist::read(m_tables->dataFolder(), choicelist::MemberFile));
    refillSongChoices();
    // Filling a list only offers choices; the boxes' own texts stay as they were.
    for (QComboBox *box : { cboDate, cboJikan, cboBasyo, cboMember })
        box->setCurrentIndex(-1);
}

void MainWindow::refillSongChoices()
{
    m_pickedSong = -1;
    QStringList titles;
    titles.reserve(m_tables->songs().songCount());
    for (const SongRecord &song : m_tables->songs().songs())
        titles.append(song.title);
    // A plain list of strings, where the box's own model would make an item object for each title.
    m_songTitles->setStringList(titles);
    cboInpKyoku->setCurrentIndex(-1);
}

void MainWindow::ShowEntry()
{
    const DiaryBook &diary = m_tables->diary();
    if (diary.entryCount() == 0) {
        ClearEntryInputs();
        hsbData->setRange(1, 1);
        lblKensu->setText(QStringLiteral("1 / 1"));
        return;
    }
    // The thumb's place, which runs ahead of the value while the thumb is dragged.
    const int shown = hsbData->sliderPosition();
    const DiaryEntry &entry = diary.entry(shown);
    showBoxText(cboDate, entry.date);
    showBoxText(cboJikan, entry.duration);
    showBoxText(cboBasyo, entry.place);

    // An outing read with more members or songs than can be entered is shown whole, so that
    // registering it again keeps them.
    lstMents->clear();
    lstMents->addItems(entry.members);
    msgSenkyoku->setRows(1);
    QList<QStringList> songRows;
    songRows.reserve(entry.songTitles.size());
    for (int c = 0; c < entry.songTitles.size(); ++c)
        songRows.append({ QString::number(c + 1), entry.songTitles[c], entry.songArtists.value(c) });
    msgSenkyoku->appendRows(songRows);
    msgSenkyoku->showFromTop();

    lblKensu->setText(QStringLiteral("%1 / %2").arg(shown).arg(diary.entryCount()));
    m_shownOuting = shown;
    cmdInpKyoku->show();
    cmdMember->show();
}

void MainWindow::ClearEntryInputs()
{
    cboDate->setEditText(QString());
    cboJikan->setEditText(QString());
    cboBasyo->setEditText(QString());
    lstMents->clear();
    msgSenkyoku->setRows(1);
    m_shownOuting = 0;
}

void MainWindow::showPoints()
{
    const PointsSummary &summary = m_tables->points();
    lblNinzu->setText(summary.artistText());
    lblKyoku->setText(summary.songText());
    lblKaisu->setText(summary.singText());
    lblJikan->setText(summary.hoursText());
    lblHpoint->setText(summary.ratingText());
    for (QLabel *total : { lblNinzu, lblKyoku, lblKaisu, lblJikan, lblHpoint })
        fitTextToWidth(total, font());
    lblPoint->setText(summary.pointText());
    fitTextToWidth(lblPoint, msPGothic(12));
    paintLevelGauge();
    // Every change of the tables ends here: a window made ahead from them as they were is made again.
    m_artistWindow.renewMadeAhead();
    m_sortWindow.renewMadeAhead();
    m_privateWindow.renewMadeAhead();
}

void MainWindow::paintLevelGauge()
{
    const int lit = litBarCount(m_tables->personal().levelPercent);
    for (int i = 0; i < int(shpLevel.size()); ++i) {
        QPalette palette = shpLevel[i]->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(i < lit ? gaugeBar(i).litColour : UnlitBarColour));
        shpLevel[i]->setPalette(palette);
    }
}

void MainWindow::cmdNew_Click()
{
    if (!mayLeaveInputs())
        return;
    ClearEntryInputs();
    cboDate->setFocus();
}

void MainWindow::hsbData_Change()
{
    ShowEntry();
}

void MainWindow::hsbData_Scroll()
{
    // A typed outing stays while the thumb is dragged; letting it go asks.
    if (!inputsUnsaved())
        ShowEntry();
}

void MainWindow::askBeforeScrollBarMove()
{
    // The bar's position has moved; its value, and the outing shown, follow once this returns.
    const int requested = hsbData->sliderPosition();
    if (requested == hsbData->value())
        return;
    // A registration chosen in the question moves the bar to the outing it stored; the move asked
    // for is made after it, or undone.
    const bool leave = mayLeaveInputs();
    hsbData->setSliderPosition(leave ? requested : hsbData->value());
}

bool MainWindow::inputsUnsaved() const
{
    return m_tables->diary().isUnsaved(entryFromInputs(), m_shownOuting);
}

bool MainWindow::mayLeaveInputs()
{
    return messages::mayDiscardTyped(
        this, QStringLiteral("日記"), QStringLiteral("登録"), [this] { return inputsUnsaved(); },
        [this] { cmdTouroku_Click(); });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_ending && !mayLeaveInputs()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWindow::cmdSort_Click()
{
    m_sortWindow.showOrRaise(this, [this] { return new SortWindow(*m_tables); });
}

void MainWindow::cmdKasyu_Click()
{
    m_artistWindow.showOrRaise(this, [this] { return makeArtistWindow(); });
}

ArtistWindow *MainWindow::makeArtistWindow()
{
    return new ArtistWindow(*m_tables);
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    // Once the user sees this window, the windows of the toolbar and the search are made ready in
    // idle time, so that opening one only shows it.
    if (!m_windowsMadeAhead) {
        m_windowsMadeAhead = true;
        m_artistWindow.makeAhead(this, [this] { return makeArtistWindow(); });
        m_sortWindow.makeAhead(this, [this] { return new SortWindow(*m_tables); });
        m_privateWindow.makeAhead(this, [this] { return makePrivateWindow(); });
        m_searchWindow.makeAhead(this, [this] { return makeSearchWindow(); });
    }
    QWidget::paintEvent(event);
}

void MainWindow::cmdPrivate_Click()
{
    m_privateWindow.showOrRaise(this, [this] { return makePrivateWindow(); });
}

PrivateWindow *MainWindow::makePrivateWindow()
{
    return new PrivateWindow(*m_tables);
}

void MainWindow::cmdHelp_Click()
{
    help::displayTopic(this);
}

void MainWindow::cmdEnd_Click()
{
    if (!mayLeaveInputs())
        return;
    // The other windows ask about what is typed in them; one kept open keeps the program running.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->close())
            return;
    }
    m_ending = true;
    help::closeAll();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
