#include "toolkit/HelpViewer.h"

#include "toolkit/Keys.h"
#include "toolkit/WindowPlaces.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QString HelpPage = QStringLiteral(":/help/index.html");

/// Lays its whole page out for each new width at once. QTextBrowser lays a long page out in steps
/// after it is shown, growing its scroll bar at each step, so the window was painted again and
/// again after it opened.
class WholePageBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTextBrowser::resizeEvent(event);
        document()->documentLayout()->documentSize();
    }
};

QPointer<QWidget> helpWindow;

QWidget *createHelpWindow(QWidget *owner)
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("frmHelp"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Crooner's Diary ヘルプ"));
    keys::escapeGoesBack(window, &QWidget::close);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new WholePageBrowser(window);
    browser->setObjectName(QStringLiteral("txtHelp"));
    browser->setOpenExternalLinks(true);
    layout->addWidget(browser);
    if (QFile::exists(HelpPage))
        browser->setSource(QUrl(QStringLiteral("qrc") + HelpPage));
    else
        browser->setPlainText(QStringLiteral("ヘルプの本文が見つかりません。\n"
                                             "カラオケに行った日の記録、曲とアーティストの登録、分析の使い方は"
                                             "各ウィンドウのボタンのヒントをご覧ください。"));
    window->resize(640, 480);
    places::remember(window);
    places::openNear(window, owner);
    return window;
}

} // namespace

namespace help {

void displayTopic(QWidget *owner)
{
    // A window the user has just closed is hidden and waiting for deletion; build a fresh one.
    if (helpWindow && !helpWindow->isVisible())
        delete helpWindow;
    if (!helpWindow)
        helpWindow = createHelpWindow(owner);
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

void closeAll()
{
    // Closed first, so that it keeps its place.
    if (helpWindow)
        helpWindow->close();
    delete helpWindow;
}

} // namespace help
