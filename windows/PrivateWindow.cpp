#include "windows/PrivateWindow.h"

#include "personal/PersonalData.h"
#include "tables/SharedTables.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Twips.h"
#include "windows/FailureWords.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *makeCaption(QWidget *parent, int index, const QString &text, int top, int height)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    placeTwips(label, 135, top, 1455, height);
    return label;
}

} // namespace

PrivateWindow::PrivateWindow(SharedTables &tables, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("frmPrivate"));
    setWindowTitle(QStringLiteral("プライベートデータ"));
    setFont(msPGothic(9));
    setFixedSize(twipsToPixels(4350), twipsToPixels(1980));
    buildControls();
    Form_Load();
}

void PrivateWindow::buildControls()
{
    makeCaption(this, 0, QStringLiteral("名前"), 90, 255);
    makeCaption(this, 1, QStringLiteral("目標ポイント"), 540, 300);
    makeCaption(this, 2, QStringLiteral("現在ポイント"), 990, 330);
    makeCaption(this, 3, QStringLiteral("現在レベル"), 1395, 375);

    // The name is typed through the input method as usual; the target is a plain number, so the
    // input method is told to prefer Latin digits there.
    txtNamae = new QLineEdit(this);
    txtNamae->setObjectName(QStringLiteral("txtNamae"));
    placeTwips(txtNamae, 1665, 90, 2535, 330);

    txtPoint = new QLineEdit(this);
    txtPoint->setObjectName(QStringLiteral("txtPoint"));
    txtPoint->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhPreferNumbers);
    placeTwips(txtPoint, 1665, 495, 2535, 330);

    lblPoint = new QLabel(this);
    lblPoint->setObjectName(QStringLiteral("lblPoint"));
    placeTwips(lblPoint, 1665, 975, 825, 330);

    lblLevel = new QLabel(this);
    lblLevel->setObjectName(QStringLiteral("lblLevel"));
    placeTwips(lblLevel, 1665, 1350, 825, 330);

    cmdHozon = new QPushButton(QStringLiteral("保存"), this);
    cmdHozon->setObjectName(QStringLiteral("cmdHozon"));
    cmdHozon->setToolTip(QStringLiteral("表示のデータで保存"));
    placeTwips(cmdHozon, 2625, 945, 780, 885);
    connect(cmdHozon, &QPushButton::clicked, this, &PrivateWindow::cmdHozon_Click);

    cmdModori = new QPushButton(QStringLiteral("戻る"), this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setToolTip(QStringLiteral("メインに戻る"));
    placeTwips(cmdModori, 3450, 945, 765, 885);
    connect(cmdModori, &QPushButton::clicked, this, &PrivateWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &PrivateWindow::cmdModori_Click);

    setTabOrder(txtNamae, txtPoint);
    setTabOrder(txtPoint, cmdHozon);
    setTabOrder(cmdHozon, cmdModori);
}

void PrivateWindow::Form_Load()
{
    // Every change of the tables may change the points and level.
    connect(&m_tables, &SharedTables::changed, this, [this] { m_stale = true; });
    const PersonalData &personal = m_tables.personal();
    txtNamae->setText(personal.userName);
    txtPoint->setText(QString::number(personal.targetPoints));
    m_storedTexts = { txtNamae->text(), txtPoint->text() };
    lblPoint->setText(QString::number(personal.currentPoints) + QStringLiteral(" P"));
    fitTextToWidth(lblPoint, font());
    showLevel();
}

void PrivateWindow::showLevel()
{
    lblLevel->setText(QString::number(double(m_tables.personal().levelPercent), 'f', 1) + QStringLiteral(" %"));
    fitTextToWidth(lblLevel, font());
}

void PrivateWindow::cmdHozon_Click()
{
    const QString name = txtNamae->text();
    const QString target = txtPoint->text();

    const textfile::Failure refused = checkPersonalInput(name, target);
    if (!refused.ok()) {
        failurewords::report(this, refused);
        return;
    }

    const textfile::Failure result = m_tables.savePersonal(name, target);
    if (!result.ok()) {
        failurewords::report(this, result, name + u'\n' + target);
        return;
    }

    m_storedTexts = { name, target };
    showLevel();
}

void PrivateWindow::closeEvent(QCloseEvent *event)
{
    if (!messages::mayDiscardTyped(
            this, QStringLiteral("プライベートデータ"), QStringLiteral("保存"),
            [this] {
                return QStringList { txtNamae->text(), txtPoint->text() } != m_storedTexts;
            },
            [this] { cmdHozon_Click(); })) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void PrivateWindow::cmdModori_Click()
{
    close();
}
