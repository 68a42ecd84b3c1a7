#include "bench/MinimalWindows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

QPushButton *makeMinimalCloseButton(QWidget *window, const QString &text)
{
    auto *button = new QPushButton(text, window);
    button->setObjectName(QLatin1String(MinimalCloseButton));
    QObject::connect(button, &QPushButton::clicked, window, &QWidget::close);
    return button;
}

QTableView *makeMinimalGrid(QWidget *parent, int columns)
{
    auto *grid = new QTableView(parent);
    grid->setModel(new QStandardItemModel(0, columns, grid));
    return grid;
}

std::unique_ptr<QWidget> makeMinimalMainWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setObjectName(QLatin1String(MinimalMainName));
    window->setWindowTitle(QStringLiteral("最小のメイン画面"));
    window->setFixedSize(629, 468);

    auto *layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QMenuBar(window.get());
    for (const char16_t *title : { u"ファイル(&F)", u"日記(&D)", u"表示(&V)", u"ヘルプ(&H)" })
        bar->addMenu(QString::fromUtf16(title))->addAction(QStringLiteral("項目"));
    layout->setMenuBar(bar);
    auto *client = new QWidget(window.get());
    layout->addWidget(client);

    const char16_t *const captions[] = { u"歌手", u"新規", u"登録", u"分析", u"設定", u"ヘルプ", u"終了" };
    for (int index = 0; index < 7; ++index) {
        auto *button = new QToolButton(client);
        button->setObjectName(index == 0 ? QLatin1String(MinimalOpenButton) : QStringLiteral("tool%1").arg(index));
        button->setText(QString::fromUtf16(captions[index]));
        button->setGeometry(10 + 55 * index, 5, 56, 61);
    }
    for (int index = 0; index < 4; ++index) {
        auto *box = new QComboBox(client);
        box->setEditable(index < 3);
        box->setGeometry(52, 145 + 25 * index, 133, 23);
    }
    auto *list = new QListWidget(client);
    list->setGeometry(19, 255, 165, 79);
    makeMinimalGrid(client, 3)->setGeometry(211, 120, 400, 293);
    auto *scrollBar = new QScrollBar(Qt::Horizontal, client);
    scrollBar->setGeometry(16, 420, 509, 16);
    return window;
}

QWidget *makeMinimalSecondaryWindow()
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QLatin1String(MinimalSecondaryName));
    window->setWindowTitle(QStringLiteral("最小の副画面"));
    window->setFixedSize(629, 450);

    const char16_t *const buttons[] = { u"新規", u"登録", u"戻る", u"全部" };
    for (int index = 0; index < 4; ++index) {
        const QString text = QString::fromUtf16(buttons[index]);
        QPushButton *button = index == 2 ? makeMinimalCloseButton(window, text) : new QPushButton(text, window);
        button->setGeometry(15 + 47 * index, 18, 45, 57);
    }
    auto *scrollBar = new QScrollBar(Qt::Horizontal, window);
    scrollBar->setGeometry(160, 70, 371, 16);
    auto *list = new QListWidget(window);
    list->setGeometry(15, 100, 193, 334);
    for (int index = 0; index < 2; ++index)
        (new QLineEdit(window))->setGeometry(315, 105 + 27 * index, 226, 23);
    makeMinimalGrid(window, 6)->setGeometry(225, 165, 382, 255);
    return window;
}
