#include "windows/ArtistWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/CutTextTips.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Pictures.h"
#include "toolkit/ScrollBarKeys.h"
#include "toolkit/Twips.h"
#include "toolkit/TypedChoiceBox.h"
#include "toolkit/WaitCursor.h"
#include "windows/FailureWords.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace {

const qreal TextPointSize = 11.25;
const qreal GridPointSize = 9;

struct KanaBox
{
    QColor background;
    QStringList kana;
};

const std::array<KanaBox, 10> &kanaBoxes()
{
    static const std::array<KanaBox, 10> boxes { {
        { QColor(0, 0, 128), { "あ", "い", "う", "え", "お" } },
        { QColor(0, 0, 255), { "か", "き", "く", "け", "こ", "が", "ぎ", "ぐ", "げ", "ご" } },
        { QColor(0, 128, 128), { "さ", "し", "す", "せ", "そ", "ざ", "じ", "ず", "ぜ", "ぞ" } },
        { QColor(0, 128, 0), { "た", "ち", "つ", "て", "と", "だ", "ぢ", "づ", "で", "ど" } },
        { QColor(128, 128, 0), { "な", "に", "ぬ", "ね", "の" } },
        { QColor(128, 0, 128),
            { "は", "ひ", "ふ", "へ", "ほ", "ば", "び", "ぶ", "べ", "ぼ", "ぱ", "ぴ", "ぷ", "ぺ", "ぽ" } },
        { QColor(128, 0, 0), { "ま", "み", "む", "め", "も" } },
        { QColor(255, 0, 0), { "や", "ゆ", "よ" } },
        { QColor(255, 0, 255), { "ら", "り", "る", "れ", "ろ" } },
        { QColor(0, 0, 0), { "わ", "を", "ん" } },
    } };
    return boxes;
}

QToolButton *makePictureButton(
    QWidget *parent, const char *name, const QString &caption, const QString &tip, QStyle::StandardPixmap picture)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolTip(tip);
    button->setIcon(standardPicture(picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

QLabel *makeColouredLabel(QWidget *parent, int index, const QString &text, const QColor &background)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    label->setFont(msPGothic(TextPointSize));
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

QFrame *makeCaptionlessFrame(QWidget *parent, const char *name)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return frame;
}

} // namespace

ArtistWindow::ArtistWindow(SharedTables &tables, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("frmKashu"));
    setWindowTitle(QStringLiteral("アーティストデータ"));
    setFixedSize(twipsToPixels(9435), twipsToPixels(6750));
    buildControls();
    Form_Load();
}

// The song window, which reads this window's name box when it saves, goes with it.
ArtistWindow::~ArtistWindow() = default;

void ArtistWindow::buildControls()
{
    const QFont textFont = msPGothic(TextPointSize);

    fraNamae = new QGroupBox(this);
    fraNamae->setObjectName(QStringLiteral("fraNamae"));
    placeTwips(fraNamae, 75, 150, 9255, 6510);

    cmdNew = makePictureButton(
        fraNamae, "cmdNew", QStringLiteral("新規"), QStringLiteral("アーティストの新規登録"), QStyle::SP_FileIcon);
    placeTwips(cmdNew, 150, 270, 675, 855);
    connect(cmdNew, &QToolButton::clicked, this, &ArtistWindow::cmdNew_Click);

    cmdTouroku = makePictureButton(fraNamae, "cmdTouroku", QStringLiteral("登録"),
        QStringLiteral("表示中のアーティスト情報を保存"), QStyle::SP_DialogSaveButton);
    placeTwips(cmdTouroku, 855, 270, 675, 855);
    connect(cmdTouroku, &QToolButton::clicked, this, &ArtistWindow::cmdTouroku_Click);

    cmdModori = makePictureButton(
        fraNamae, "cmdModori", QStringLiteral("戻る"), QStringLiteral("メイン画面に戻ります"), QStyle::SP_ArrowBack);
    placeTwips(cmdModori, 1575, 270, 675, 855);
    connect(cmdModori, &QToolButton::clicked, this, &ArtistWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &ArtistWindow::cmdModori_Click);

    Frame2 = makeCaptionlessFrame(fraNamae, "Frame2");
    placeTwips(Frame2, 2325, 150, 6825, 675);

    const QColor kanaText = QApplication::palette().color(QPalette::Base);
    for (int index = 0; index < int(cboHira.size()); ++index) {
        QComboBox *box = makeTypedChoiceBox(Frame2);
        box->setObjectName(QStringLiteral("cboHira%1").arg(index));
        box->setFont(textFont);
        // Only an item chosen from the list filters; a typed kana accepted on leaving the box or
        // on Return must not, so the box's own finish-editing lookup is cut off.
        disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
        box->setToolTip(QStringLiteral("アーティストを頭文字で検索"));
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, kanaBoxes()[size_t(index)].background);
        palette.setColor(QPalette::Text, kanaText);
        box->setPalette(palette);
        placeTwips(box, 120 + 585 * index, 210, 600, 345);
        connect(box, &QComboBox::activated, this, [this, index] { cboHira_Click(index); });
        cboHira[size_t(index)] = box;
    }

    cmdAll = new QPushButton(QStringLiteral("全部"), Frame2);
    cmdAll->setObjectName(QStringLiteral("cmdAll"));
    cmdAll->setToolTip(QStringLiteral("全アーティストを表示します"));
    placeTwips(cmdAll, 6075, 225, 615, 330);
    connect(cmdAll, &QPushButton::clicked, this, &ArtistWindow::cmdAll_Click);

    hsbKasyu = new QScrollBar(Qt::Horizontal, fraNamae);
    hsbKasyu->setObjectName(QStringLiteral("hsbKasyu"));
    hsbKasyu->setRange(1, 1);
    hsbKasyu->setSingleStep(1);
    hsbKasyu->setPageStep(1);
    stepByArrowKeys(hsbKasyu);
    placeTwips(hsbKasyu, 2325, 900, 5565, 240);
    // With tracking on, valueChanged fires for every position passed while the thumb is dragged
    // as well as for arrow and trough clicks, and never for a value the bar already has.
    connect(hsbKasyu, &QScrollBar::valueChanged, this, &ArtistWindow::hsbKasyu_Change);

    lblKen = new QLabel(fraNamae);
    lblKen->setObjectName(QStringLiteral("lblKen"));
    lblKen->setFont(textFont);
    placeTwips(lblKen, 7950, 900, 1095, 195);

    lstKasyu = new QListWidget(fraNamae);
    lstKasyu->setObjectName(QStringLiteral("lstKasyu"));
    lstKasyu->setFont(textFont);
    lstKasyu->setToolTip(QStringLiteral("クリックすると曲リストを表示します"));
    placeTwips(lstKasyu, 150, 1350, 2895, 5010);
    repaintOnActivationOnlyWhenSeen(lstKasyu);
    tipCutText(lstKasyu);
    // A selection moved by the arrow keys shows that artist; a click on the selected name shows
    // it again after the scroll bar has moved elsewhere.
    connect(lstKasyu, &QListWidget::itemSelectionChanged, this, &ArtistWindow::lstKasyu_Click);
    connect(lstKasyu, &QListWidget::itemClicked, this, &ArtistWindow::lstKasyu_Click);

    Frame1 = makeCaptionlessFrame(fraNamae, "Frame1");
    placeTwips(Frame1, 3150, 1200, 6000, 5190);

    placeTwips(makeColouredLabel(Frame1, 0, QStringLiteral("アーティスト"), QColor(0, 0, 128)), 150, 225, 1305, 350);

    txtKasyu = new QLineEdit(Frame1);
    txtKasyu->setObjectName(QStringLiteral("txtKasyu"));
    txtKasyu->setFont(textFont);
    txtKasyu->installEventFilter(this);
    tipCutText(txtKasyu);
    placeTwips(txtKasyu, 1500, 225, 3390, 350);

    placeTwips(makeColouredLabel(Frame1, 1, QStringLiteral("ひらかな"), QColor(128, 0, 0)), 150, 625, 1305, 350);

    txtHira = new QLineEdit(Frame1);
    txtHira->setObjectName(QStringLiteral("txtHira"));
    txtHira->setFont(textFont);
    placeTwips(txtHira, 1500, 625, 3390, 350);

    cmdTuika = makePictureButton(Frame1, "cmdTuika", QStringLiteral("曲登録"),
        QStringLiteral("表示中のアーティストに曲を追加します"), QStyle::SP_FileDialogNewFolder);
    placeTwips(cmdTuika, 5025, 225, 870, 810);
    connect(cmdTuika, &QToolButton::clicked, this, &ArtistWindow::cmdTuika_Click);

    MsgKyoku = new FlexGrid(Frame1);
    MsgKyoku->setObjectName(QStringLiteral("MsgKyoku"));
    MsgKyoku->setFont(msPGothic(GridPointSize));
    placeTwips(MsgKyoku, 150, 1125, 5730, 3825);
    connect(MsgKyoku, &FlexGrid::cellClicked, this, &ArtistWindow::MsgKyoku_Click);

    // Made after the grid so that it lies above it.
    pnlHide = makeCaptionlessFrame(Frame1, "pnlHide");
    pnlHide->setAutoFillBackground(true);
    placeTwips(pnlHide, 150, 1050, 5715, 3990);
}

void ArtistWindow::Form_Load()
{
    connect(&m_tables, &SharedTables::changed, this, [this](SharedTables::Tables what) {
        m_stale = m_stale || (what & (SharedTables::Artists | SharedTables::Songs | SharedTables::SingCounts));
    });
    SetUpArtistSongGrid();
    ListAllArtists();
    FillKanaChoices();
    ShowArtistPosition();
}

void ArtistWindow::SetUpArtistSongGrid()
{
    static const int widths[] = { 380, 3025, 1000, 300, 300, 380 };
    static const char *const headers[] = { "№", "曲名", "ｼﾞｬﾝﾙ", "叫", "評", "回" };
    MsgKyoku->setCols(6);
    MsgKyoku->setRows(1);
    for (int col = 0; col < 6; ++col) {
        MsgKyoku->setColWidth(col, widths[col]);
        MsgKyoku->setTextAt(0, col, QString::fromUtf8(headers[col]));
        MsgKyoku->setFixedAlignment(col, FlexGrid::CenterCenter);
    }
    MsgKyoku->setColAlignment(5, FlexGrid::CenterCenter);
    MsgKyoku->setColAlignment(1, FlexGrid::LeftTop);
}

void ArtistWindow::ListAllArtists()
{
    const ArtistCatalogue &artists = m_tables.artists();
    lstKasyu->clear();
    QStringList names;
    names.reserve(artists.artistCount());
    for (const ArtistRecord &artist : artists.artists())
        names.append(artist.name);
    lstKasyu->addItems(names);
    // An empty catalogue keeps the range 1 to 1, so the position never leaves 1.
    hsbKasyu->setRange(1, std::max(artists.artistCount(), 1));
    hsbKasyu->setValue(1);
    showListCaption();
}

void ArtistWindow::FillKanaChoices()
{
    for (size_t index = 0; index < cboHira.size(); ++index) {
        cboHira[index]->addItems(kanaBoxes()[index].kana);
        cboHira[index]->setCurrentIndex(0);
    }
}

void ArtistWindow::ShowArtistPosition()
{
    const ArtistCatalogue &artists = m_tables.artists();
    const int position = hsbKasyu->value();
    if (position <= artists.artistCount()) {
        txtKasyu->setText(artists.artist(position).name);
        txtHira->setText(artists.artist(position).reading);
    } else {
        txtKasyu->clear();
        txtHira->clear();
    }
    lblKen->setText(QStringLiteral("%1 / %2").arg(position).arg(artists.artistCount()));
    m_shownArtist = { txtKasyu->text(), txtHira->text() };
    ShowArtistSongs();
}

void ArtistWindow::ShowArtistSongs()
{
    WaitCursor busy;
    pnlHide->show();
    const int artistCount = m_tables.artists().artistCount();
    if (artistCount == 0) {
        hsbKasyu->setRange(1, 1);
        hsbKasyu->setValue(1);
        lblKen->setText(QStringLiteral("1 / 1"));
        return;
    }

    const int position = hsbKasyu->value();
    const QString &name = m_tables.artists().artist(position).name;
    QList<QStringList> rows;
    for (const SongRecord &song : m_tables.songs().songs()) {
        if (song.artist == name) {
            rows.append({ QString::number(rows.size() + 1), song.title, song.genre, song.shoutLevel, song.selfRating,
                QString::number(song.singCount) });
        }
    }
    // With no songs the grid keeps the rows of the artist shown before, out of sight. Otherwise it
    // holds exactly this artist's songs, shown from the first.
    if (!rows.isEmpty()) {
        MsgKyoku->setRows(1);
        MsgKyoku->appendRows(rows);
        MsgKyoku->showFromTop();
        pnlHide->hide();
    }
    lblKen->setText(QStringLiteral("%1 / %2").arg(position).arg(artistCount));
}

void ArtistWindow::showListCaption()
{
    fraNamae->setTitle(QStringLiteral("登録 %1 / %2").arg(lstKasyu->count()).arg(m_tables.artists().artistCount()));
}

void ArtistWindow::coverForNewArtist()
{
    txtKasyu->clear();
    txtHira->clear();
    m_shownArtist = { QString(), QString() };
    pnlHide->show();
}

bool ArtistWindow::artistUnsaved() const
{
    return QStringList { txtKasyu->text(), txtHira->text() } != m_shownArtist;
}

SongEntryWindow *ArtistWindow::OpenSongWindow(SongEntryMode mode)
{
    return m_songWindow.showOrRaise(this, [this, mode] {
        auto *window = new SongEntryWindow(
            m_tables, mode, [this] { return txtKasyu->text(); }, pos());
        connect(window, &SongEntryWindow::songSaved, this, &ArtistWindow::songWindow_songSaved);
        return window;
    });
}

void ArtistWindow::cboHira_Click(int index)
{
    const QString initial = cboHira[size_t(index)]->currentText();
    lstKasyu->clear();
    QStringList names;
    for (const ArtistRecord &artist : m_tables.artists().artists()) {
        if (artist.reading.left(1) == initial)
            names.append(artist.name);
    }
    lstKasyu->addItems(names);
    showListCaption();
}

void ArtistWindow::cmdAll_Click()
{
    ListAllArtists();
}

void ArtistWindow::hsbKasyu_Change()
{
    ShowArtistPosition();
}

void ArtistWindow::lstKasyu_Click()
{
    const QList<QListWidgetItem *> selected = lstKasyu->selectedItems();
    if (selected.isEmpty())
        return;
    // A name the catalogue no longer holds moves nowhere.
    if (const std::optional<int> position = m_tables.artists().findArtistPosition(selected.first()->text()))
        hsbKasyu->setValue(*position);
}

void ArtistWindow::cmdNew_Click()
{
    coverForNewArtist();
    txtKasyu->setFocus();
}

void ArtistWindow::txtKasyu_Click()
{
    coverForNewArtist();
}

void ArtistWindow::cmdTouroku_Click()
{
    const QString name = txtKasyu->text();
    const QString reading = txtHira->text();
    const textfile::Failure refused = m_tables.artists().checkNewArtist(name, reading);
    if (!refused.ok()) {
        failurewords::report(this, refused);
        return;
    }
    if (!messages::confirm(
            this, QStringLiteral("『 ") + name + QStringLiteral(" 』を登録します"), QStringLiteral("登録確認")))
        return;

    textfile::Failure result;
    {
        WaitCursor busy;
        result = m_tables.addArtist(name, reading);
    }
    if (!result.ok()) {
        failurewords::report(this, result, name + u'\n' + reading);
        return;
    }
    ListAllArtists();
    hsbKasyu->setValue(m_tables.artists().artistCount());
}

void ArtistWindow::cmdTuika_Click()
{
    OpenSongWindow(SongEntryMode::NewSong);
}

void ArtistWindow::MsgKyoku_Click()
{
    const QString title = MsgKyoku->textAt(MsgKyoku->row(), 1);
    OpenSongWindow(SongEntryMode::ExistingSong)->fillFromSong(title);
}

void ArtistWindow::cmdModori_Click()
{
    close();
}

void ArtistWindow::songWindow_songSaved()
{
    ShowArtistPosition();
}

void ArtistWindow::closeEvent(QCloseEvent *event)
{
    // The song window asks about its own typed song; it must not outlive this window.
    SongEntryWindow *song = m_songWindow.window();
    if ((song && song->isVisible() && !song->close())
        || !messages::mayDiscardTyped(
            this, QStringLiteral("アーティスト"), QStringLiteral("登録"), [this] { return artistUnsaved(); },
            [this] { cmdTouroku_Click(); })) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool ArtistWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtKasyu && event->type() == QEvent::MouseButtonPress)
        txtKasyu_Click();
    return QWidget::eventFilter(watched, event);
}
