#include "windows/SongEntryWindow.h"

#include "lists/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/Records.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Twips.h"
#include "toolkit/WaitCursor.h"
#include "windows/EncodingQuestion.h"
#include "windows/FailureWords.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>
#include <optional>
#include <utility>

namespace {

const qreal TextPointSize = 11.25;
const QString InputErrorTitle = QStringLiteral("入力エラー");

QLabel *makeCaption(QWidget *parent, int index, const QString &text, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    label->setFont(msPGothic(TextPointSize));
    placeTwips(label, 75, top, 1410, 375);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const char *name, int top, int width)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(msPGothic(TextPointSize));
    placeTwips(box, 1500, top, width, 375);
    return box;
}

QComboBox *makeChoiceBox(QWidget *parent, const char *name, int top)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(msPGothic(TextPointSize));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    placeTwips(box, 1500, top, 1830, 345);
    return box;
}

/// The typed count: empty text is 0; otherwise the number the text starts with, rounded half to
/// even, if that fits a 16-bit count.
std::optional<qint16> typedCount(const QString &text)
{
    if (text.isEmpty())
        return qint16(0);
    const std::optional<double> number = textfile::leadingNumber(text);
    if (!number)
        return std::nullopt;
    const qint64 rounded = textfile::roundHalfEven(*number);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

} // namespace

SongEntryWindow::SongEntryWindow(
    SharedTables &tables, SongEntryMode mode, std::function<QString()> artistName, QPoint topLeft, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
    , m_artistName(std::move(artistName))
{
    setObjectName(QStringLiteral("frmInp"));
    setWindowTitle(QStringLiteral("曲データ登録"));
    setFixedSize(twipsToPixels(6870), twipsToPixels(2805));
    buildControls();
    Form_Load(topLeft, mode);
}

void SongEntryWindow::buildControls()
{
    makeCaption(this, 1, QStringLiteral("曲名"), 75);
    txtKyokumei = makeTextBox(this, "txtKyokumei", 75, 5280);
    makeCaption(this, 2, QStringLiteral("ひらかな"), 525);
    txtHira = makeTextBox(this, "txtHira", 525, 5280);
    makeCaption(this, 3, QStringLiteral("ジャンル"), 975);
    cboJanru = makeChoiceBox(this, "cboJanru", 975);
    makeCaption(this, 4, QStringLiteral("クルーナー度"), 1425);
    cboShout = makeChoiceBox(this, "cboShout", 1425);
    makeCaption(this, 5, QStringLiteral("自己評価"), 1875);
    cboHyouka = makeChoiceBox(this, "cboHyouka", 1875);
    makeCaption(this, 0, QStringLiteral("初期回数"), 2325);
    txtKaisu = makeTextBox(this, "txtKaisu", 2325, 1860);
    // The count is a plain number: no input method.
    txtKaisu->setAttribute(Qt::WA_InputMethodEnabled, false);

    cmdHozon = new QPushButton(QStringLiteral("保存"), this);
    cmdHozon->setObjectName(QStringLiteral("cmdHozon"));
    cmdHozon->setToolTip(QStringLiteral("表示の情報で曲データを保存します"));
    placeTwips(cmdHozon, 4800, 1650, 900, 975);
    connect(cmdHozon, &QPushButton::clicked, this, &SongEntryWindow::cmdHozon_Click);

    cmdModori = new QPushButton(QStringLiteral("戻る"), this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setToolTip(QStringLiteral("アーティスト画面に戻ります"));
    placeTwips(cmdModori, 5850, 1650, 915, 975);
    connect(cmdModori, &QPushButton::clicked, this, &SongEntryWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &SongEntryWindow::cmdModori_Click);

    setTabOrder(txtKyokumei, txtHira);
    setTabOrder(txtHira, cboJanru);
    setTabOrder(cboJanru, cboShout);
    setTabOrder(cboShout, cboHyouka);
    setTabOrder(cboHyouka, txtKaisu);
    setTabOrder(txtKaisu, cmdHozon);
    setTabOrder(cmdHozon, cmdModori);
}

void SongEntryWindow::Form_Load(QPoint topLeft, SongEntryMode mode)
{
    move(topLeft);
    loadSongEntryChoices(mode);
    m_filledTexts = fieldTexts();
}

void SongEntryWindow::loadSongEntryChoices(SongEntryMode mode)
{
    QStringList genres = choicelist::read(m_tables.dataFolder(), choicelist::GenreFile);
    // Read only here: a list whose encoding is a guess is asked about now.
    if (!askGuessedEncodings(this, { choicelist::GenreFile }).isEmpty())
        genres = choicelist::read(m_tables.dataFolder(), choicelist::GenreFile);
    cboJanru->addItems(genres);
    cboShout->addItems({ QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("－") });
    cboHyouka->addItems({ QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("×") });
    if (mode == SongEntryMode::NewSong) {
        txtKyokumei->clear();
        txtHira->clear();
        txtKaisu->clear();
        cboJanru->setEditText(QString());
        cboShout->setEditText(QString());
        cboHyouka->setEditText(QString());
    }
}

void SongEntryWindow::fillFromSong(const QString &title)
{
    // Saving the typed song closes the window, as its 保存 button does.
    if (!mayDiscardTyped() || !isVisible())
        return;
    txtKyokumei->setText(title);
    if (const std::optional<int> slot = m_tables.songs().findSongByTitle(title)) {
        const SongRecord &song = m_tables.songs().song(*slot);
        txtHira->setText(song.reading);
        cboJanru->setEditText(song.genre);
        cboShout->setEditText(song.shoutLevel);
        cboHyouka->setEditText(song.selfRating);
        txtKaisu->setText(QString::number(song.singCount));
    }
    m_filledTexts = fieldTexts();
}

QStringList SongEntryWindow::fieldTexts() const
{
    return { txtKyokumei->text(), txtHira->text(), cboJanru->currentText(), cboShout->currentText(),
        cboHyouka->currentText(), txtKaisu->text() };
}

bool SongEntryWindow::mayDiscardTyped()
{
    return messages::mayDiscardTyped(
        this, QStringLiteral("曲データ"), QStringLiteral("保存"), [this] { return fieldTexts() != m_filledTexts; },
        [this] { cmdHozon_Click(); });
}

void SongEntryWindow::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardTyped()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void SongEntryWindow::cmdHozon_Click()
{
    const std::optional<qint16> count = typedCount(txtKaisu->text());
    if (!count) {
        messages::refuse(
            this, QStringLiteral("回数は−３２７６８から３２７６７までの数字で入力してください"), InputErrorTitle);
        return;
    }
    SongRecord song;
    song.title = txtKyokumei->text();
    song.reading = txtHira->text();
    song.artist = m_artistName();
    song.genre = cboJanru->currentText();
    song.shoutLevel = cboShout->currentText();
    song.selfRating = cboHyouka->currentText();
    song.singCount = *count;

    const textfile::Failure refused = m_tables.songs().checkNewSong(song);
    if (!refused.ok()) {
        failurewords::report(this, refused);
        return;
    }

    textfile::Failure result;
    {
        WaitCursor busy;
        result = m_tables.addSong(song);
    }
    if (!result.ok()) {
        failurewords::report(this, result, SongCatalogue::recordLine(song));
        return;
    }
    m_filledTexts = fieldTexts();
    Q_EMIT songSaved();
    close();
}

void SongEntryWindow::cmdModori_Click()
{
    close();
}
