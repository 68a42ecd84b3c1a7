// Times the program's windows at the limits of their data: every user action against one frame
// (16 ms), the start-up against 250 ms, and the peak resident memory against 80 MB. With --x11, on
// a real X server instead, each figure beside the same figure of a minimal Qt program.

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "bench/BenchData.h"
#include "bench/PaintClock.h"
#include "bench/Stats.h"
#include "bench/WindowReplica.h"
#include "tables/SharedTables.h"
#include "tests/support/ScriptedMessages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSaveFile>
#include <QScrollBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <dlfcn.h>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr double FrameMs = 16;
constexpr double StartUpMs = 250;
constexpr double PeakMemoryMb = 80;
const char *const ChildFlag = "--child";
const char *const WriteDataFlag = "--write-data";
const char *const X11Flag = "--x11";
const char *const X11ChildFlag = "--x11-child";
/// With this environment variable naming a file, "--x11-child open" writes there the description
/// of the window it opened the first time (see WindowReplica.h).
const char *const DescribeVariable = "CROONER_BENCH_DESCRIBE";
/// Set when the benchmark runs itself again under a session bus of its own (see sessionBus).
const char *const OwnBusVariable = "CROONER_BENCH_OWN_BUS";

/// Counts paint events anywhere in the program, so the report shows that painting happened
/// inside the timed regions.
class PaintCounter : public QObject
{
public:
    long count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

PaintCounter *paintCounter = nullptr;

/// Runs what the operation left pending: posted events (queued calls, layout and update requests,
/// which paint) and deferred deletes of closed windows.
void settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

/// Other work on the machine shows in the wall times; the report states how busy it was.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

/// Times one run of operation, with everything it left pending, as one sample.
void timeOnce(Timings &timings, const std::function<void()> &operation)
{
    settle();
    const long paintsBefore = paintCounter->count;
    const qint64 cpuBefore = processCpuNs();
    QElapsedTimer timer;
    timer.start();
    operation();
    settle();
    timings.samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    timings.cpuSamples.push_back(double(processCpuNs() - cpuBefore) / 1e6);
    timings.paints += paintCounter->count - paintsBefore;
}

QtMessageHandler defaultMessageHandler = nullptr;

/// The offscreen platform can neither raise a window nor grab the keyboard for a popup, and says so
/// each time.
void dropPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (defaultMessageHandler)
        defaultMessageHandler(type, context, message);
}

/// The peak resident memory of this process (getrusage ru_maxrss), in kB.
long peakRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

/// The peak resident memory of the program this process runs since it was started (VmHWM), in kB.
/// A started process's ru_maxrss would also count the memory of the benchmark it was forked from.
long programPeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

[[noreturn]] void fail(const QString &what)
{
    qFatal("benchmark failed: %s", qPrintable(what));
}

void check(bool condition, const QString &what)
{
    if (!condition)
        fail(what);
}

/// The data at the limits in root/full, and one short of each limit in root/one-short.
void writeDataFolders(const QTemporaryDir &root, const BenchData &data, QString &full, QString &oneShort)
{
    check(root.isValid(), QStringLiteral("no temporary folder"));
    full = root.filePath(QStringLiteral("full"));
    oneShort = root.filePath(QStringLiteral("one-short"));
    QDir().mkpath(full);
    QDir().mkpath(oneShort);
    data.write(QDir(full), false);
    data.write(QDir(oneShort), true);
}

/// A named part of the benchmark, run when its name is asked for.
using Group = std::pair<const char *, std::function<void()>>;

/// Runs the groups named in only, separated by commas; all of them when only is empty.
void runGroups(std::initializer_list<Group> groups, const QString &only)
{
    const QStringList chosen = only.split(u',', Qt::SkipEmptyParts);
    QStringList names;
    for (const auto &[name, group] : groups)
        names.append(QLatin1String(name));
    for (const QString &name : chosen)
        check(names.contains(name), QStringLiteral("no group %1; the groups are %2").arg(name, names.join(u' ')));
    for (const auto &[name, group] : groups) {
        if (chosen.isEmpty() || chosen.contains(QLatin1String(name)))
            group();
    }
}

template <typename Widget> Widget *child(QWidget *window, const QString &name)
{
    auto *widget = window->findChild<Widget *>(name);
    check(widget != nullptr, QStringLiteral("no control ") + name);
    return widget;
}

QWidget *openWindow(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

/// Chooses item index of a pick list as the program sees a user's choice.
void choose(QComboBox *box, int index)
{
    check(index >= 0, QStringLiteral("no such choice in ") + box->objectName());
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files)) {
        if (!QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)))
            fail(QStringLiteral("cannot copy ") + name);
    }
}

/// What a user types and picks in the main window before 登録: for a new outing, 新規 and the
/// last outing of the data (date, hours, place, its 10 members and 50 songs picked from the pick
/// lists); for a change, another duration and place for the outing shown.
void fillOuting(QWidget *main, const BenchData &data, bool newOuting)
{
    const DiaryEntry &outing = data.outings.last();
    auto *cboBasyo = child<QComboBox>(main, QStringLiteral("cboBasyo"));
    auto *cboJikan = child<QComboBox>(main, QStringLiteral("cboJikan"));
    if (newOuting) {
        click(child<QAbstractButton>(main, QStringLiteral("cmdNew")));
        child<QComboBox>(main, QStringLiteral("cboDate"))->setEditText(outing.date);
        cboJikan->setEditText(outing.duration);
        cboBasyo->setEditText(outing.place);
        click(child<QAbstractButton>(main, QStringLiteral("cmdMember")));
        auto *cboMember = child<QComboBox>(main, QStringLiteral("cboMember"));
        for (const QString &member : outing.members)
            choose(cboMember, cboMember->findText(member));
        click(child<QAbstractButton>(main, QStringLiteral("cmdInpKyoku")));
        auto *cboInpKyoku = child<QComboBox>(main, QStringLiteral("cboInpKyoku"));
        for (const QString &title : outing.songTitles)
            choose(cboInpKyoku, cboInpKyoku->findText(title));
    } else {
        cboJikan->setEditText(QStringLiteral("4.5"));
        cboBasyo->setEditText(data.places.first());
    }
}

/// The registration of fillOuting stored and reported.
void checkRegistered(const DiaryBook &diary, const BenchData &data, bool newOuting, const ScriptedMessages &messages)
{
    if (newOuting) {
        check(
            diary.entryCount() == 300 && diary.entry(300) == data.outings.last(), QStringLiteral("new outing stored"));
    } else {
        check(diary.entryCount() == 299 && diary.entry(299).place == data.places.first(),
            QStringLiteral("changed outing stored"));
    }
    check(messages.shown().size() >= 2 && messages.shown().at(1).text == QStringLiteral("登録しました"),
        QStringLiteral("registration reported"));
}

/// The program running on its own copy of a data folder, started as main.cpp starts it.
class Session
{
public:
    Session(const QString &source, const QString &folder)
        : m_folder(folder)
    {
        copyFolder(source, folder);
    }

    ~Session()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget != m_main.get())
                widget->close();
        }
        settle();
        m_main.reset();
        settle();
        QDir(m_folder).removeRecursively();
    }

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void start() { m_main = startMainWindow(QDir(m_folder)); }

    SharedTables &tables() const { return m_main->tables(); }

    template <typename Widget> Widget *control(const QString &name) const { return child<Widget>(m_main.get(), name); }

private:
    QString m_folder;
    std::unique_ptr<MainWindow> m_main;
};

class Bench
{
public:
    Bench()
        : m_data(BenchData::make())
    {
        writeDataFolders(m_root, m_data, m_full, m_oneShort);
    }

    void run(const QString &only)
    {
        runGroups(
            {
                { "start-up",
                    [this] {
                        startUpNewProcess();
                        startUpInProcess();
                    } },
                { "registration",
                    [this] {
                        registerOuting(true);
                        registerOuting(false);
                    } },
                { "main-window", [this] { browseMainWindow(); } },
                { "artist-window", [this] { browseArtistWindow(); } },
                { "song", [this] { saveSong(); } },
                { "artist-registration", [this] { registerArtist(); } },
                { "analysis", [this] { analysisWindow(); } },
                { "search", [this] { searchWindow(); } },
                { "statistics", [this] { statisticsWindow(); } },
            },
            only);
    }

    void report() const
    {
        QTextStream out(stdout);
        out << "| Operation | Samples | Median ms | p10 .. p90 ms | min .. max ms | CPU median ms | Paints | "
               "Target ms | Met |\n";
        out << "|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
        const auto ms = [](double value) { return QString::number(value, 'f', 2); };
        for (const Timings &t : m_results) {
            out << "| " << t.operation << " | " << t.samples.size() << " | " << ms(t.median()) << " | " << ms(t.p10())
                << " .. " << ms(t.p90()) << " | " << ms(t.min()) << " .. " << ms(t.max()) << " | "
                << (t.cpuSamples.empty() ? QStringLiteral("–") : ms(t.cpuMedian())) << " | " << t.paints << " | "
                << t.targetMs << " | " << (t.met() ? "yes" : "**no**") << " |\n";
        }
        const double ownMb = double(peakRssKb()) / 1024;
        const double childMb = double(m_programPeakKb) / 1024;
        out << "\n| Peak resident memory | MB | Target MB | Met |\n";
        out << "|---|---:|---:|---|\n";
        out << "| the program alone (VmHWM): the largest of the new processes above (started, one window opened) | "
            << QString::number(childMb, 'f', 1) << " | " << PeakMemoryMb << " | "
            << (childMb < PeakMemoryMb ? "yes" : "**no**") << " |\n";
        out << "| this benchmark (ru_maxrss), after every operation above | " << QString::number(ownMb, 'f', 1) << " | "
            << PeakMemoryMb << " | " << (ownMb < PeakMemoryMb ? "yes" : "**no**") << " |\n";
        bool allMet = childMb < PeakMemoryMb && ownMb < PeakMemoryMb;
        for (const Timings &t : m_results)
            allMet = allMet && t.met();
        out << "\nLoad average (1, 5, 15 min) after: " << loadAverage() << "\n";
        out << (allMet ? "Every target met." : "Some targets missed.") << "\n";
    }

private:
    Timings &result(const QString &operation, double targetMs = FrameMs)
    {
        m_results.push_back({ operation, targetMs, {}, {}, 0 });
        return m_results.back();
    }

    QString sessionFolder() { return m_root.filePath(QStringLiteral("session-%1").arg(++m_sessions)); }

    std::unique_ptr<Session> started(const QString &source)
    {
        auto session = std::make_unique<Session>(source, sessionFolder());
        session->start();
        settle();
        return session;
    }

    /// Starts the program in a process of its own on the full data, optionally pressing button once
    /// it has started; returns the launch time and what the process reports (see childMain).
    std::pair<qint64, QList<QByteArray>> runChild(const QString &button = QString())
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments { QLatin1String(ChildFlag), m_full };
        if (!button.isEmpty())
            arguments.append(button);
        const qint64 launched = monotonicNs();
        process.start(QCoreApplication::applicationFilePath(), arguments);
        check(process.waitForFinished(60000) && process.exitCode() == 0, QStringLiteral("child process"));
        const QList<QByteArray> report = process.readAllStandardOutput().trimmed().split(' ');
        check(report.size() == (button.isEmpty() ? 3 : 6) && report.value(0).toLongLong() > launched,
            QStringLiteral("child process report"));
        m_programPeakKb = std::max(m_programPeakKb, report.last().toLong());
        return { launched, report };
    }

    /// From launching the program to its main window shown and painted: each sample is a new
    /// process, which reports the moment its start-up settled.
    void startUpNewProcess()
    {
        Timings &timings = result(QStringLiteral("start-up, new process: launch → main window shown"), StartUpMs);
        for (int rep = 0; rep < 15; ++rep) {
            const auto [launched, report] = runChild();
            timings.samples.push_back(double(report.value(0).toLongLong() - launched) / 1e6);
            timings.paints += report.value(1).toLong();
        }
    }

    /// The first opening of a window in a run pays for what each run loads once; each sample is
    /// a new process.
    void firstOpeningNewProcess(const QString &operation, const QString &button)
    {
        Timings &timings = result(operation);
        for (int rep = 0; rep < 10; ++rep) {
            const QList<QByteArray> report = runChild(button).second;
            timings.samples.push_back(report.value(2).toDouble());
            timings.cpuSamples.push_back(report.value(3).toDouble());
            timings.paints += report.value(4).toLong();
        }
    }

    void startUpInProcess()
    {
        Timings &timings = result(QStringLiteral("start-up, in process: tables + main window → shown"), StartUpMs);
        for (int rep = 0; rep < 20; ++rep) {
            Session session(m_full, sessionFolder());
            timeOnce(timings, [&] { session.start(); });
            check(session.tables().diary().entryCount() == 300, QStringLiteral("start-up read the diary"));
        }
    }

    /// 新規, then the outing typed and picked as a user does, then 登録 (timed). A new outing goes
    /// from 299 to 300; a change rewrites outing 299.
    void registerOuting(bool newOuting)
    {
        Timings &timings = result(newOuting ? QStringLiteral("registration, new outing (299 → 300)")
                                            : QStringLiteral("registration, changed outing (of 299)"));
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            QWidget *main = openWindow(QStringLiteral("frmMain"));
            fillOuting(main, m_data, newOuting);
            settle();
            m_messages.clear();
            timeOnce(timings, [&] { click(child<QAbstractButton>(main, QStringLiteral("cmdTouroku"))); });
            checkRegistered(session->tables().diary(), m_data, newOuting, m_messages);
        }
    }

    void browseMainWindow()
    {
        auto session = started(m_full);
        auto *hsbData = session->control<QScrollBar>(QStringLiteral("hsbData"));
        Timings &timings = result(QStringLiteral("main window: scrolling to each outing (arrow click)"));
        hsbData->setValue(1);
        for (int pass = 0; pass < 2; ++pass) {
            const auto step = pass == 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub;
            for (int i = 1; i < 300; ++i)
                timeOnce(timings, [&] { hsbData->triggerAction(step); });
            check(hsbData->value() == (pass == 0 ? 300 : 1), QStringLiteral("scrolled through the diary"));
        }

        firstOpeningNewProcess(QStringLiteral("opening the artist window (歌手), first time in a run (new process)"),
            QStringLiteral("cmdKasyu"));
        Timings &opening = result(QStringLiteral("opening the artist window (歌手), again"));
        openRepeatedly(
            opening, session->control<QAbstractButton>(QStringLiteral("cmdKasyu")), QStringLiteral("frmKashu"));
    }

    /// Opens a window with button and closes it with its 戻る, 20 times timed after one untimed
    /// opening: the first opening in a run is timed in a new process instead.
    void openRepeatedly(Timings &timings, QAbstractButton *button, const QString &windowName)
    {
        for (int rep = -1; rep < 20; ++rep) {
            if (rep < 0)
                click(button);
            else
                timeOnce(timings, [&] { click(button); });
            settle();
            QWidget *window = openWindow(windowName);
            check(window != nullptr, windowName + QStringLiteral(" open"));
            click(child<QAbstractButton>(window, QStringLiteral("cmdModori")));
            settle();
        }
    }

    void browseArtistWindow()
    {
        auto session = started(m_full);
        click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
        settle();
        QWidget *window = openWindow(QStringLiteral("frmKashu"));
        check(window != nullptr, QStringLiteral("artist window open"));
        auto *hsbKasyu = child<QScrollBar>(window, QStringLiteral("hsbKasyu"));
        auto *lstKasyu = child<QListWidget>(window, QStringLiteral("lstKasyu"));

        Timings &moving = result(QStringLiteral("artist window: moving its position (arrow click)"));
        for (int i = 1; i < 500; ++i)
            timeOnce(moving, [&] { hsbKasyu->triggerAction(QAbstractSlider::SliderSingleStepAdd); });
        check(hsbKasyu->value() == 500, QStringLiteral("paged through the artists"));

        Timings &listClick = result(QStringLiteral("artist window: a click in its list"));
        for (int rep = 0; rep < 50; ++rep) {
            const int row = (rep * 37 + 11) % lstKasyu->count();
            QListWidgetItem *item = lstKasyu->item(row);
            lstKasyu->scrollToItem(item);
            settle();
            const QPoint at = lstKasyu->visualItemRect(item).center();
            timeOnce(listClick, [&] { QTest::mouseClick(lstKasyu->viewport(), Qt::LeftButton, {}, at); });
            check(hsbKasyu->value() == session->tables().artists().findArtistPosition(item->text()),
                QStringLiteral("list click moved the position"));
        }

        Timings &filter = result(QStringLiteral("artist window: a kana filter (pick in a kana list)"));
        for (int box = 0; box < 10; ++box) {
            auto *cboHira = child<QComboBox>(window, QStringLiteral("cboHira%1").arg(box));
            for (int index = 0; index < cboHira->count(); ++index) {
                cboHira->showPopup();
                QAbstractItemView *view = cboHira->view();
                const QModelIndex item = view->model()->index(index, cboHira->modelColumn());
                view->scrollTo(item);
                settle();
                const QPoint at = view->visualRect(item).center();
                timeOnce(filter, [&] { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); });
                check(cboHira->currentIndex() == index, QStringLiteral("kana picked"));
            }
        }
    }

    /// 曲登録 for the held-back song's artist, its fields typed, then 保存 (timed): the catalogue goes
    /// from 999 to 1000 songs, the artist window shows its songs again, the main window's song
    /// choice is rebuilt and the points recomputed, and the song window closes.
    void saveSong()
    {
        Timings &timings = result(QStringLiteral("saving a song with every follow-up step (999 → 1000)"));
        const SongRecord &song = m_data.songs[m_data.heldBackSong];
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
            settle();
            QWidget *artists = openWindow(QStringLiteral("frmKashu"));
            check(artists != nullptr, QStringLiteral("artist window open"));
            child<QScrollBar>(artists, QStringLiteral("hsbKasyu"))
                ->setValue(*session->tables().artists().findArtistPosition(song.artist));
            click(child<QAbstractButton>(artists, QStringLiteral("cmdTuika")));
            settle();
            QWidget *entry = openWindow(QStringLiteral("frmInp"));
            check(entry != nullptr, QStringLiteral("song window open"));
            child<QLineEdit>(entry, QStringLiteral("txtKyokumei"))->setText(song.title);
            child<QLineEdit>(entry, QStringLiteral("txtHira"))->setText(song.reading);
            child<QComboBox>(entry, QStringLiteral("cboJanru"))->setEditText(song.genre);
            child<QComboBox>(entry, QStringLiteral("cboShout"))->setEditText(song.shoutLevel);
            child<QComboBox>(entry, QStringLiteral("cboHyouka"))->setEditText(song.selfRating);
            child<QLineEdit>(entry, QStringLiteral("txtKaisu"))->setText(QString::number(song.singCount));
            settle();
            timeOnce(timings, [&] { click(child<QAbstractButton>(entry, QStringLiteral("cmdHozon"))); });
            check(session->tables().songs().songs() == m_data.songs, QStringLiteral("song saved in reading order"));
            check(openWindow(QStringLiteral("frmInp")) == nullptr, QStringLiteral("song window closed"));
            check(session->control<QComboBox>(QStringLiteral("cboInpKyoku"))->count() == 1000,
                QStringLiteral("song choice rebuilt"));
        }
    }

    /// 新規, the held-back artist typed, then 登録 (timed): 499 → 500 artists.
    void registerArtist()
    {
        Timings &timings = result(QStringLiteral("registering an artist (499 → 500)"));
        const ArtistRecord &artist = m_data.artists[m_data.heldBackArtist];
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
            settle();
            QWidget *window = openWindow(QStringLiteral("frmKashu"));
            check(window != nullptr, QStringLiteral("artist window open"));
            click(child<QAbstractButton>(window, QStringLiteral("cmdNew")));
            child<QLineEdit>(window, QStringLiteral("txtKasyu"))->setText(artist.name);
            child<QLineEdit>(window, QStringLiteral("txtHira"))->setText(artist.reading);
            settle();
            timeOnce(timings, [&] { click(child<QAbstractButton>(window, QStringLiteral("cmdTouroku"))); });
            check(session->tables().artists().artists() == m_data.artists, QStringLiteral("artist registered"));
        }
    }

    void analysisWindow()
    {
        auto session = started(m_full);
        firstOpeningNewProcess(QStringLiteral("opening the analysis window (分析), first time in a run (new process)"),
            QStringLiteral("cmdSort"));
        Timings &opening = result(QStringLiteral("opening the analysis window (分析), again"));
        openRepeatedly(
            opening, session->control<QAbstractButton>(QStringLiteral("cmdSort")), QStringLiteral("frmSort"));

        click(session->control<QAbstractButton>(QStringLiteral("cmdSort")));
        settle();
        QWidget *window = openWindow(QStringLiteral("frmSort"));
        check(window != nullptr, QStringLiteral("analysis window open"));
        static const char *const sortNames[] = { "曲名", "アーティスト", "ジャンル", "叫び", "評価", "回数" };
        std::vector<Timings *> sorts;
        for (const char *name : sortNames)
            sorts.push_back(&result(QStringLiteral("sort by ") + QString::fromUtf8(name)));
        // Each sort starts from the order the one before left.
        for (int rep = 0; rep < 20; ++rep) {
            for (int index = 0; index < 6; ++index) {
                auto *option = child<QAbstractButton>(window, QStringLiteral("optSort%1").arg(index));
                timeOnce(*sorts[size_t(index)], [&] { click(option); });
            }
        }

        auto *lstDate = child<QListWidget>(window, QStringLiteral("lstDate"));
        lstDate->selectAll();
        lstDate->setCurrentRow(lstDate->count() - 1, QItemSelectionModel::NoUpdate);
        check(lstDate->selectedItems().size() == 300, QStringLiteral("every date selected"));
        Timings &search = result(QStringLiteral("period search over all 300 outings (期間検索)"));
        for (int rep = 0; rep < 20; ++rep)
            timeOnce(search, [&] { click(child<QAbstractButton>(window, QStringLiteral("cmdKikan"))); });
    }

    /// Typing into the search window, a character at a time as an input method commits them: a
    /// song title of the last outing letter by letter, then a character every outing holds in its
    /// date (all 300 found), each followed by Backspace.
    void searchWindow()
    {
        auto session = started(m_full);
        QWidget *main = openWindow(QStringLiteral("frmMain"));
        Timings &opening = result(QStringLiteral("opening the search window (Ctrl+F)"));
        timeOnce(opening, [&] { QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier); });
        QWidget *window = openWindow(QStringLiteral("frmSearch"));
        check(window != nullptr, QStringLiteral("search window open"));
        auto *text = child<QLineEdit>(window, QStringLiteral("txtSearch"));
        auto *count = child<QLabel>(window, QStringLiteral("lblCount"));

        Timings &typing = result(QStringLiteral("search: a keystroke typing a song title, results shown"));
        Timings &all = result(QStringLiteral("search: a keystroke finding all 300 outings, results shown"));
        const QString title = m_data.outings.last().songTitles.first();
        for (int rep = 0; rep < 10; ++rep) {
            text->clear();
            settle();
            for (const QChar c : title)
                timeOnce(typing, [&] { text->insert(QString(c)); });
            check(!count->text().isEmpty() && count->text() != QStringLiteral("0件"), QStringLiteral("title found"));
            while (!text->text().isEmpty())
                timeOnce(typing, [&] { QTest::keyClick(text, Qt::Key_Backspace); });
            timeOnce(all, [&] { text->insert(QStringLiteral("年")); });
            check(count->text() == QStringLiteral("300件"), QStringLiteral("every outing found"));
            timeOnce(all, [&] { QTest::keyClick(text, Qt::Key_Backspace); });
        }
    }

    /// 表示 > 統計… at 300 outings: the window counted, its chart drawn and shown, the first time
    /// in the run and then again; then each year and the whole diary chosen in turn.
    void statisticsWindow()
    {
        auto session = started(m_full);
        QAction *item = nullptr;
        for (QAction *candidate :
            child<QMenu>(openWindow(QStringLiteral("frmMain")), QStringLiteral("mnuView"))->actions()) {
            if (candidate->text() == QStringLiteral("統計(&T)…"))
                item = candidate;
        }
        check(item != nullptr, QStringLiteral("統計 in the 表示 menu"));
        Timings &first = result(QStringLiteral("opening the statistics window (統計), first time in the run"), 100);
        Timings &again = result(QStringLiteral("opening the statistics window (統計), again"), 100);
        for (int rep = 0; rep < 20; ++rep) {
            timeOnce(rep == 0 ? first : again, [&] { item->trigger(); });
            QWidget *window = openWindow(QStringLiteral("frmStats"));
            check(window != nullptr, QStringLiteral("statistics window open"));
            if (rep == 19) {
                auto *years = child<QComboBox>(window, QStringLiteral("cboYear"));
                Timings &choosing = result(QStringLiteral("statistics: choosing a year or the whole diary"), 100);
                for (int pass = 0; pass < 3; ++pass) {
                    for (int index = 0; index < years->count(); ++index)
                        timeOnce(choosing, [&] { choose(years, index); });
                }
            }
            click(child<QAbstractButton>(window, QStringLiteral("cmdModori")));
            settle();
        }
    }

    BenchData m_data;
    QTemporaryDir m_root;
    QString m_full;
    QString m_oneShort;
    int m_sessions = 0;
    ScriptedMessages m_messages;
    /// A deque, so that a result being filled stays in place while later ones are added.
    std::deque<Timings> m_results;
    /// The largest peak memory a started program reported.
    long m_programPeakKb = 0;
};

/// The program in a process of its own, started as main.cpp starts it. Prints the monotonic clock
/// at the moment the main window has been shown and its pending work (layout, paint) has run, and
/// the paint events until then; with a button, then presses it once and adds the wall and processor
/// milliseconds and paint events of that press; last the program's peak memory in kB.
int childMain(int argc, char *argv[], const QString &folder, const QString &button)
{
    QApplication app(argc, argv);
    PaintCounter counter;
    paintCounter = &counter;
    app.installEventFilter(&counter);
    prepareApplication();
    const std::unique_ptr<MainWindow> mainWindow = startMainWindow(QDir(folder));
    settle();
    const qint64 shown = monotonicNs();
    std::printf("%lld %ld", static_cast<long long>(shown), counter.count);
    if (!button.isEmpty()) {
        Timings press;
        timeOnce(press, [&] { click(child<QAbstractButton>(mainWindow.get(), button)); });
        std::printf(" %.3f %.3f %ld", press.samples.front(), press.cpuSamples.front(), press.paints);
    }
    std::printf(" %ld\n", programPeakKb());
    return 0;
}

QString cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("unknown");
}

/// The fsync and fdatasync calls of this process so far, as the counting library preloaded into it
/// (crooners-sync-count) has counted them; -1 without it.
struct SyncCounts
{
    long fsyncs = -1;
    long fdatasyncs = -1;
};

SyncCounts syncCounts()
{
    void *symbol = dlsym(RTLD_DEFAULT, "crooner_sync_counts");
    SyncCounts counts;
    if (symbol) {
        void (*read)(long *, long *) = nullptr;
        std::memcpy(&read, &symbol, sizeof read);
        read(&counts.fsyncs, &counts.fdatasyncs);
    }
    return counts;
}

/// Opens a window from another as a user does: by a click on the button of that name, or, for
/// "MENU/ITEM", by choosing the item of that text in the menu of that name.
void openFrom(QWidget *opener, const QString &control)
{
    const qsizetype slash = control.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        click(child<QAbstractButton>(opener, control));
        return;
    }
    for (QAction *item : child<QMenu>(opener, control.left(slash))->actions()) {
        if (item->text() == control.mid(slash + 1)) {
            item->trigger();
            return;
        }
    }
    fail(QStringLiteral("no menu item ") + control);
}

/// The program in a process of its own on a real display, started as main.cpp starts it (folder
/// taken, tables read, splash and main window shown), for the X server mode. Prints when the main
/// window's first paint was done (PaintClock::reportStart), then, by mode:
/// - "open CONTROL WINDOW": opens WINDOW with CONTROL of the main window (see openFrom), or with
///   "FIRST>CONTROL" with CONTROL of the window FIRST opens; closes it (with its 戻る if it has one)
///   and opens it again, each opening timed to the window's last paint (PaintClock::reportOpening);
/// - "register new|change": registers an outing at the limits as the offscreen benchmark does and
///   prints "registered <wall ms> <processor ms> <fsync calls> <fdatasync calls>" (see syncCounts);
/// - "start": nothing more.
/// Last "peak <kB>", the program's peak memory.
int x11ChildMain(int argc, char *argv[])
{
    const qint64 entered = monotonicNs();
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const QDir folder(QString::fromLocal8Bit(argv[3]));
    const QStringList extra { argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString(),
        argc > 5 ? QString::fromLocal8Bit(argv[5]) : QString() };
    PaintClock app(argc, argv);
    prepareApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.crooners_diary.CroonersDiary"));
    const std::unique_ptr<FolderLock> folderLock = openDataFolder(folder);
    check(folderLock != nullptr, QStringLiteral("data folder taken"));
    const std::unique_ptr<MainWindow> mainWindow = startMainWindow(folder);
    check(app.runUntil([&] { return app.window(QStringLiteral("frmMain")).passes > 0; }),
        QStringLiteral("main window painted"));
    app.reportStart(entered, QStringLiteral("frmMain"));

    if (mode == QLatin1String("open")) {
        // "FIRST>CONTROL": the window is opened from the one that FIRST opens from the main window.
        const QStringList steps = extra[0].split(u'>');
        const QString &window = extra[1];
        QWidget *opener = mainWindow.get();
        if (steps.size() == 2) {
            openFrom(opener, steps[0]);
            app.runUntilIdle(OpeningIdleMs);
            opener = child<QAbstractButton>(QApplication::activeWindow(), steps[1])->window();
        }
        for (int opening = 0; opening < 2; ++opening) {
            app.reportOpening([&] { openFrom(opener, steps.last()); }, window, OpeningIdleMs);
            QWidget *opened = openWindow(window);
            check(opened != nullptr, window + QStringLiteral(" open"));
            if (const QString describeTo = qEnvironmentVariable(DescribeVariable);
                opening == 0 && !describeTo.isEmpty()) {
                QSaveFile file(describeTo);
                check(file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(describeWindow(opened)).toJson()) > 0
                        && file.commit(),
                    QStringLiteral("window described"));
            }
            if (auto *back = opened->findChild<QAbstractButton *>(QStringLiteral("cmdModori")))
                click(back);
            else
                opened->close();
        }
    } else if (mode == QLatin1String("register")) {
        const bool newOuting = extra[0] == QLatin1String("new");
        ScriptedMessages messages;
        PaintCounter counter;
        paintCounter = &counter;
        app.installEventFilter(&counter);
        const BenchData data = BenchData::make();
        fillOuting(mainWindow.get(), data, newOuting);
        app.runUntilIdle(OpeningIdleMs);
        messages.clear();
        Timings timings;
        const SyncCounts before = syncCounts();
        timeOnce(timings, [&] { click(child<QAbstractButton>(mainWindow.get(), QStringLiteral("cmdTouroku"))); });
        const SyncCounts after = syncCounts();
        checkRegistered(mainWindow->tables().diary(), data, newOuting, messages);
        const bool counted = before.fsyncs >= 0;
        std::printf("registered %.3f %.3f %ld %ld\n", timings.samples.front(), timings.cpuSamples.front(),
            counted ? after.fsyncs - before.fsyncs : -1L, counted ? after.fdatasyncs - before.fdatasyncs : -1L);
    } else {
        check(mode == QLatin1String("start"), QStringLiteral("no mode ") + mode);
    }
    std::printf("peak %ld\n", programPeakKb());
    return 0;
}

/// The same figure on both sides: the program and the minimal reference program.
struct Side
{
    std::vector<double> ms; ///< the figure, one per sample
    std::vector<double> toMain; ///< start-ups: launch to main() entered
    std::vector<double> passes; ///< openings: paint passes of the window
    std::vector<double> events; ///< paint events (all windows at start-up, the window's at an opening)
    std::vector<double> firstMs; ///< openings: to the end of the window's first paint pass
    std::vector<double> cpuMs; ///< openings: processor time to the end of the window's last pass
    std::vector<double> handledMs; ///< openings: the click handled (the window built and shown)
    std::vector<double> exposedMs; ///< openings: the window's first expose
    std::vector<double> paintMs; ///< start-ups: from the main window's expose to its first paint done
};

struct Figure
{
    QString operation;
    Side program;
    Side reference;
    Side replica; ///< openings: the copy of the program's window in plain Qt widgets (c)
};

struct RegistrationFigure
{
    QString operation;
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    std::vector<double> fsyncs;
    std::vector<double> fdatasyncs;
};

double median(const std::vector<double> &values)
{
    return Timings::quantile(values, 0.5);
}

double p90(const std::vector<double> &values)
{
    return Timings::quantile(values, 0.9);
}

/// The program on a real X server, each figure beside the same figure of a minimal Qt Widgets
/// program (bench/MinimalWindows.h) started the same way: every sample is a new process, the
/// program's and the reference's samples taking turns, so that other work on the machine falls
/// on both alike.
class X11Bench
{
public:
    X11Bench()
        : m_data(BenchData::make())
    {
        writeDataFolders(m_root, m_data, m_full, m_oneShort);
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // As on a desktop: the accessibility bridge starts only when the session asks for it.
        m_environment.remove(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"));
        // Qt wants a private runtime folder and warns in every process without one.
        if (!m_environment.contains(QStringLiteral("XDG_RUNTIME_DIR"))) {
            const QString runtime = m_root.filePath(QStringLiteral("runtime"));
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        }
    }

    void run(const QString &only)
    {
        runGroups(
            {
                { "start-up", [this] { startUps(); } },
                { "windows", [this] { openings(); } },
                { "registration", [this] { registrations(); } },
            },
            only);
    }

    void report() const
    {
        QTextStream out(stdout);
        const auto ms = [](double value) { return QString::number(value, 'f', 1); };
        const auto ratio = [](const std::vector<double> &program, const std::vector<double> &reference) {
            return QString::number(median(program) / median(reference), 'f', 2);
        };
        const auto pair = [](double program, double reference, int decimals) {
            return QString::number(program, 'f', decimals) + QStringLiteral(" / ")
                + QString::number(reference, 'f', decimals);
        };
        if (!m_startUps.empty()) {
            out << "| Start-up: launch → main window's first paint done | Samples | Program median ms | Program p90 "
                   "ms | Reference (a) median ms | Reference p90 ms | Ratio | Launch → main(), program / reference "
                   "ms | Main window exposed → painted, program / reference ms | Paint events, program / reference "
                   "|\n";
            out << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
            for (const Figure &f : m_startUps) {
                out << "| " << f.operation << " | " << f.program.ms.size() << " | " << ms(median(f.program.ms)) << " | "
                    << ms(p90(f.program.ms)) << " | " << ms(median(f.reference.ms)) << " | " << ms(p90(f.reference.ms))
                    << " | " << ratio(f.program.ms, f.reference.ms) << " | "
                    << pair(median(f.program.toMain), median(f.reference.toMain), 1) << " | "
                    << pair(median(f.program.paintMs), median(f.reference.paintMs), 1) << " | "
                    << pair(median(f.program.events), median(f.reference.events), 0) << " |\n";
            }
            out << "\n";
        }
        if (!m_openings.empty()) {
            const auto three = [](const Side &program, const Side &reference, const Side &replica,
                                   const std::vector<double> Side::*values, int decimals) {
                return QString::number(median(program.*values), 'f', decimals) + QStringLiteral(" / ")
                    + QString::number(median(reference.*values), 'f', decimals) + QStringLiteral(" / ")
                    + QString::number(median(replica.*values), 'f', decimals);
            };
            out << "| Opening a window: click → its last paint done | Samples | Program median ms | Program p90 ms | "
                   "Reference (b) median ms | Reference p90 ms | Ratio to (b) | Copy (c) median ms | Copy p90 ms | "
                   "Ratio to (c) | Paint passes, program / (b) / (c) | Paint events, program / (b) / (c) | Click "
                   "handled (window built, shown), program / (b) / (c) ms | Exposed, program / (b) / (c) ms | First "
                   "pass done, program / (b) / (c) ms | Processor ms to the last paint, program / (b) / (c) |\n";
            out << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
            for (const Figure &f : m_openings) {
                out << "| " << f.operation << " | " << f.program.ms.size() << " | " << ms(median(f.program.ms)) << " | "
                    << ms(p90(f.program.ms)) << " | " << ms(median(f.reference.ms)) << " | " << ms(p90(f.reference.ms))
                    << " | " << ratio(f.program.ms, f.reference.ms) << " | " << ms(median(f.replica.ms)) << " | "
                    << ms(p90(f.replica.ms)) << " | " << ratio(f.program.ms, f.replica.ms) << " | "
                    << three(f.program, f.reference, f.replica, &Side::passes, 0) << " | "
                    << three(f.program, f.reference, f.replica, &Side::events, 0) << " | "
                    << three(f.program, f.reference, f.replica, &Side::handledMs, 1) << " | "
                    << three(f.program, f.reference, f.replica, &Side::exposedMs, 1) << " | "
                    << three(f.program, f.reference, f.replica, &Side::firstMs, 1) << " | "
                    << three(f.program, f.reference, f.replica, &Side::cpuMs, 1) << " |\n";
            }
            out << "\n";
        }
        if (!m_registrations.empty()) {
            const auto count = [](const std::vector<double> &values) {
                const auto [low, high] = std::minmax_element(values.begin(), values.end());
                if (*low < 0)
                    return QStringLiteral("not counted");
                return *low == *high ? QString::number(*low) : QStringLiteral("%1 .. %2").arg(*low).arg(*high);
            };
            out << "| Registration at the data limits (登録) | Samples | Wall median ms | Wall p90 ms | Processor "
                   "median ms | Processor p90 ms | fsync calls | fdatasync calls |\n";
            out << "|---|---:|---:|---:|---:|---:|---:|---:|\n";
            for (const RegistrationFigure &f : m_registrations) {
                out << "| " << f.operation << " | " << f.wallMs.size() << " | " << ms(median(f.wallMs)) << " | "
                    << ms(p90(f.wallMs)) << " | " << ms(median(f.cpuMs)) << " | " << ms(p90(f.cpuMs)) << " | "
                    << count(f.fsyncs) << " | " << count(f.fdatasyncs) << " |\n";
            }
            out << "\n";
        }
        out << "Peak resident memory of the program (VmHWM), the largest of its processes above: "
            << QString::number(double(m_programPeakKb) / 1024, 'f', 1) << " MB\n";
        out << "Load average (1, 5, 15 min) after: " << loadAverage() << "\n";
    }

private:
    static constexpr int StartUpSamples = 20;
    static constexpr int OpeningSamples = 15;
    static constexpr int RegistrationSamples = 10;

    QString sessionFolder() { return m_root.filePath(QStringLiteral("session-%1").arg(++m_sessions)); }

    /// Runs a program to its end in a process of its own on the display, with the launch moment in
    /// its environment; returns its report, one line of words per line printed.
    QList<QStringList> runProcess(
        const QString &program, const QStringList &arguments, const QProcessEnvironment &extra = QProcessEnvironment())
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = m_environment;
        for (const QString &name : extra.keys())
            environment.insert(name, extra.value(name));
        const qint64 launched = monotonicNs();
        environment.insert(QLatin1String(LaunchedVariable), QString::number(launched));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        check(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            QStringLiteral("process %1 %2").arg(program, arguments.join(u' ')));
        QList<QStringList> lines;
        for (const QString &line : QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n'))
            lines.append(line.split(u' ', Qt::SkipEmptyParts));
        for (const QStringList &line : lines) {
            if (line.value(0) == QLatin1String("peak"))
                m_programPeakKb = std::max(m_programPeakKb, line.value(1).toLong());
        }
        return lines;
    }

    /// The numbers of the lines that start with key, in order.
    static QList<std::vector<double>> reported(const QList<QStringList> &lines, const char *key, int count)
    {
        QList<std::vector<double>> found;
        for (const QStringList &line : lines) {
            if (line.value(0) != QLatin1String(key))
                continue;
            std::vector<double> numbers;
            for (qsizetype index = 1; index < line.size(); ++index)
                numbers.push_back(line[index].toDouble());
            found.append(numbers);
        }
        check(found.size() == count, QStringLiteral("%1 %2 lines reported").arg(count).arg(QLatin1String(key)));
        return found;
    }

    static void addStart(Side &side, const QList<QStringList> &lines)
    {
        const std::vector<double> painted = reported(lines, "painted", 1).front();
        check(painted.size() == 4 && painted[0] > 0, QStringLiteral("start-up reported"));
        side.ms.push_back(painted[0]);
        side.toMain.push_back(painted[1]);
        side.paintMs.push_back(painted[0] - painted[2]);
        side.events.push_back(painted[3]);
    }

    static void addOpenings(Side &first, Side &again, const QList<QStringList> &lines)
    {
        const QList<std::vector<double>> openings = reported(lines, "opened", 2);
        for (int index = 0; index < 2; ++index) {
            const std::vector<double> &opened = openings[index];
            check(opened.size() == 8, QStringLiteral("opening reported"));
            Side &side = index == 0 ? first : again;
            side.ms.push_back(opened[0]);
            side.passes.push_back(opened[1]);
            side.events.push_back(opened[2]);
            side.firstMs.push_back(opened[3]);
            side.cpuMs.push_back(opened[4]);
            side.handledMs.push_back(opened[6]);
            side.exposedMs.push_back(opened[7]);
        }
    }

    /// Launch to the main window's first paint, on each data folder and for the reference (a).
    void startUps()
    {
        const std::pair<QString, QString> sources[] = {
            { QStringLiteral("the sample data (sample-data/)"), QStringLiteral(CROONER_SAMPLE_DATA) },
            { QStringLiteral("an empty folder"), QString() },
            { QStringLiteral("the data limits (300 outings, 1000 songs, 500 artists)"), m_full },
        };
        std::vector<Figure *> figures;
        for (const auto &[name, source] : sources) {
            m_startUps.push_back({ QStringLiteral("start-up on ") + name, {}, {}, {} });
            figures.push_back(&m_startUps.back());
        }
        for (int rep = 0; rep < StartUpSamples; ++rep) {
            for (size_t index = 0; index < figures.size(); ++index) {
                const QString &source = sources[index].second;
                const auto program = [&] {
                    const QString folder = sessionFolder();
                    if (source.isEmpty())
                        QDir().mkpath(folder);
                    else
                        copyFolder(source, folder);
                    addStart(figures[index]->program,
                        runProcess(QCoreApplication::applicationFilePath(),
                            { QLatin1String(X11ChildFlag), QStringLiteral("start"), folder }));
                    QDir(folder).removeRecursively();
                };
                const auto reference
                    = [&] { addStart(figures[index]->reference, runProcess(QStringLiteral(CROONER_REF_START), {})); };
                takeTurns(rep, program, reference);
            }
        }
    }

    /// Each side first on alternate samples, so that neither always follows the other.
    static void takeTurns(int rep, const std::function<void()> &program, const std::function<void()> &reference)
    {
        if (rep % 2 == 0) {
            program();
            reference();
        } else {
            reference();
            program();
        }
    }

    /// Each window of the main window's toolbar and menus opened at the data limits, the first
    /// time in a run and again, to their last paint; the reference (b) opens its window of the same
    /// kind the same way, and then a copy (c) of the program's window.
    void openings()
    {
        struct Opened
        {
            QString name;
            QString control; ///< as openFrom takes it, or "FIRST>CONTROL" (see x11ChildMain)
            QString window;
            QString reference; ///< the argument that makes the reference open a window of its kind
        };
        const Opened windows[] = {
            { QStringLiteral("the artist window (歌手)"), QStringLiteral("cmdKasyu"), QStringLiteral("frmKashu"), {} },
            { QStringLiteral("the analysis window (分析)"), QStringLiteral("cmdSort"), QStringLiteral("frmSort"), {} },
            { QStringLiteral("the settings window (設定)"), QStringLiteral("cmdPrivate"), QStringLiteral("frmPrivate"),
                {} },
            { QStringLiteral("the search window (検索)"), QStringLiteral("mnuDiary/検索(&F)…"),
                QStringLiteral("frmSearch"), {} },
            { QStringLiteral("the statistics window (統計)"), QStringLiteral("mnuView/統計(&T)…"),
                QStringLiteral("frmStats"), QStringLiteral("chart") },
            { QStringLiteral("the song window (歌手 → 曲登録)"), QStringLiteral("cmdKasyu>cmdTuika"),
                QStringLiteral("frmInp"), {} },
            { QStringLiteral("the help (ヘルプ)"), QStringLiteral("cmdHelp"), QStringLiteral("frmHelp"), {} },
        };
        std::vector<std::pair<Figure *, Figure *>> figures;
        for (const Opened &opened : windows) {
            const QString name
                = opened.name + (opened.reference.isEmpty() ? QString() : QStringLiteral(" (reference with a chart)"));
            m_openings.push_back(
                { QStringLiteral("opening ") + name + QStringLiteral(", first in the run"), {}, {}, {} });
            Figure *first = &m_openings.back();
            m_openings.push_back({ QStringLiteral("opening ") + name + QStringLiteral(", again"), {}, {}, {} });
            figures.emplace_back(first, &m_openings.back());
        }
        // Each window as the program shows it at the limits, for the copy (c) to show the same.
        QStringList descriptions;
        for (const Opened &opened : windows) {
            descriptions.append(m_root.filePath(opened.window + QStringLiteral(".json")));
            const QString folder = sessionFolder();
            copyFolder(m_full, folder);
            QProcessEnvironment describe;
            describe.insert(QLatin1String(DescribeVariable), descriptions.last());
            runProcess(QCoreApplication::applicationFilePath(),
                { QLatin1String(X11ChildFlag), QStringLiteral("open"), folder, opened.control, opened.window },
                describe);
            QDir(folder).removeRecursively();
        }
        for (int rep = 0; rep < OpeningSamples; ++rep) {
            for (size_t index = 0; index < figures.size(); ++index) {
                const Opened &opened = windows[index];
                Figure *first = figures[index].first;
                Figure *again = figures[index].second;
                const auto program = [&] {
                    const QString folder = sessionFolder();
                    copyFolder(m_full, folder);
                    addOpenings(first->program, again->program,
                        runProcess(QCoreApplication::applicationFilePath(),
                            { QLatin1String(X11ChildFlag), QStringLiteral("open"), folder, opened.control,
                                opened.window }));
                    QDir(folder).removeRecursively();
                };
                const auto references = [&] {
                    addOpenings(first->reference, again->reference,
                        runProcess(QStringLiteral(CROONER_REF_WINDOW),
                            opened.reference.isEmpty() ? QStringList() : QStringList { opened.reference }));
                    addOpenings(first->replica, again->replica,
                        runProcess(QStringLiteral(CROONER_REF_WINDOW),
                            { QStringLiteral("replica"), descriptions[qsizetype(index)] }));
                };
                takeTurns(rep, program, references);
            }
        }
    }

    /// A new and a changed outing registered at the limits, with the fsync and fdatasync calls the
    /// counting library saw during 登録.
    void registrations()
    {
        m_registrations.push_back({ QStringLiteral("registration, new outing (299 → 300)"), {}, {}, {}, {} });
        RegistrationFigure *added = &m_registrations.back();
        m_registrations.push_back({ QStringLiteral("registration, changed outing (of 299)"), {}, {}, {}, {} });
        RegistrationFigure *changed = &m_registrations.back();
        QProcessEnvironment preload;
        preload.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(CROONER_SYNC_COUNT));
        for (int rep = 0; rep < RegistrationSamples; ++rep) {
            for (RegistrationFigure *figure : { added, changed }) {
                const QString folder = sessionFolder();
                copyFolder(m_oneShort, folder);
                const QList<QStringList> lines = runProcess(QCoreApplication::applicationFilePath(),
                    { QLatin1String(X11ChildFlag), QStringLiteral("register"), folder,
                        figure == added ? QStringLiteral("new") : QStringLiteral("change") },
                    preload);
                QDir(folder).removeRecursively();
                const std::vector<double> registered = reported(lines, "registered", 1).front();
                check(registered.size() == 4, QStringLiteral("registration reported"));
                figure->wallMs.push_back(registered[0]);
                figure->cpuMs.push_back(registered[1]);
                figure->fsyncs.push_back(registered[2]);
                figure->fdatasyncs.push_back(registered[3]);
            }
        }
    }

    BenchData m_data;
    QTemporaryDir m_root;
    QString m_full;
    QString m_oneShort;
    int m_sessions = 0;
    QProcessEnvironment m_environment;
    std::deque<Figure> m_startUps;
    std::deque<Figure> m_openings;
    std::deque<RegistrationFigure> m_registrations;
    long m_programPeakKb = 0;
};

/// Where the session's bus comes from, for the report. Without a bus every Qt program forks a
/// helper at its first window, which a desktop never does, so the benchmark then runs itself
/// again under dbus-run-session and measures inside that session.
QString sessionBus(char *argv[])
{
    if (qEnvironmentVariableIsSet(OwnBusVariable))
        return QStringLiteral("started for this run by dbus-run-session");
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QStringLiteral("the session's own");
    qputenv(OwnBusVariable, "1");
    std::vector<char *> arguments { const_cast<char *>("dbus-run-session"), const_cast<char *>("--") };
    for (char **argument = argv; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    ::execvp(arguments.front(), arguments.data());
    fail(QStringLiteral("no session bus and dbus-run-session could not be run (Debian's dbus package has it)"));
}

int x11BenchMain(int argc, char *argv[])
{
    const QString bus = sessionBus(argv);
    QCoreApplication app(argc, argv);
    check(!qEnvironmentVariableIsEmpty("DISPLAY"),
        QStringLiteral("no DISPLAY: start an X server, e.g. Xvfb :99 -screen 0 1024x768x24 -nolisten tcp &, and "
                       "run with DISPLAY=:99"));
    QTextStream out(stdout);
    out << "Crooner's Diary benchmark on an X server: " << cpuModel() << ", " << QThread::idealThreadCount()
        << " cores, " << QSysInfo::prettyProductName() << ", Qt " << qVersion() << ", platform xcb on DISPLAY "
        << qEnvironmentVariable("DISPLAY") << ", build " << CROONER_BUILD_TYPE << ", session bus " << bus << "\n";
    out << "Every sample is a new process; program and reference take turns. Reference (a): "
        << QFileInfo(QStringLiteral(CROONER_REF_START)).fileName()
        << ", reference (b): " << QFileInfo(QStringLiteral(CROONER_REF_WINDOW)).fileName()
        << ", copy (c): the same program showing the program's window rebuilt from Qt's widgets alone.\n";
    out << "Load average (1, 5, 15 min) before: " << loadAverage() << "\n\n";
    out.flush();
    X11Bench bench;
    bench.run(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    bench.report();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && argc <= 3 && qstrcmp(argv[1], X11Flag) == 0)
        return x11BenchMain(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], X11ChildFlag) == 0)
        return x11ChildMain(argc, argv);
    // Windows are shown and painted, but off any screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if ((argc == 3 || argc == 4) && qstrcmp(argv[1], ChildFlag) == 0) {
        defaultMessageHandler = qInstallMessageHandler(dropPlatformWarnings);
        return childMain(
            argc, argv, QString::fromLocal8Bit(argv[2]), argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    if (argc == 3 && qstrcmp(argv[1], WriteDataFlag) == 0) {
        // The data at the limits, for trying the program or a profiler on it.
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        check(folder.mkpath(QStringLiteral(".")), QStringLiteral("cannot make ") + folder.path());
        BenchData::make().write(folder, false);
        return 0;
    }

    defaultMessageHandler = qInstallMessageHandler(dropPlatformWarnings);
    QApplication app(argc, argv);
    prepareApplication();
    PaintCounter counter;
    paintCounter = &counter;
    app.installEventFilter(&counter);

    QTextStream out(stdout);
    out << "Crooner's Diary benchmark: " << cpuModel() << ", " << QThread::idealThreadCount() << " cores, "
        << QSysInfo::prettyProductName() << ", Qt " << qVersion() << ", platform " << QGuiApplication::platformName()
        << ", build " << CROONER_BUILD_TYPE << "\n";
    out << "Data: 300 outings of 10 members and 50 songs, 1000 songs, 500 artists, 50 places, 50 members, "
           "30 genres; registrations start one short of each limit.\n";
    out << "Load average (1, 5, 15 min) before: " << loadAverage() << "\n\n";
    out.flush();

    Bench bench;
    bench.run(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    bench.report();
    return 0;
}
