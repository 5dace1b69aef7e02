// Theme and language switches of a main window with 200 assorted widgets.
// Theme: LookAndFeelManager::SetTheme between two themes (the product sets
// the composed stylesheet when told) against setting the same final text on
// the application, at about 20 KB and 200 KB of stylesheet. Language:
// LookAndFeelManager::SetLocale between two languages against removing,
// loading and installing one translator by hand. Each switch ends when the
// posted work (retranslation, layout, painting) is done. The two kinds take
// turns; every switch is checked to have taken effect, and every language
// switch to make exactly one retranslation pass.
//
//   switch_bench [--rounds N]

#include "BenchProduct.h"
#include "BenchUtil.h"
#include "BenchWindow.h"
#include "ChildHome.h"

#include <Zentar/App/Application.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTranslator>

#include <functional>
#include <map>
#include <memory>

namespace
{

constexpr int kWidgets = 200;

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

template <class Body> double Milliseconds(Body body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    Settle();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Counts the LanguageChange events each watched widget receives.
class LanguageChangeCounter : public QObject
{
public:
    explicit LanguageChangeCounter(const BenchWindow& window)
    {
        m_watched.push_back(const_cast<BenchWindow*>(&window));
        m_watched.insert(m_watched.end(), window.Widgets().begin(), window.Widgets().end());
        for (QObject* object : m_watched)
            object->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            ++m_counts[watched];
        return QObject::eventFilter(watched, event);
    }
    void Reset() { m_counts.clear(); }
    // True when every watched widget got exactly one.
    bool ExactlyOnce() const
    {
        for (QObject* object : m_watched) {
            const auto it = m_counts.find(object);
            if (it == m_counts.end() || it->second != 1)
                return false;
        }
        return true;
    }

private:
    std::vector<QObject*> m_watched;
    std::map<QObject*, int> m_counts;
};

bool Fail(const char* what)
{
    std::fprintf(stderr, "switch_bench: %s\n", what);
    return false;
}

// The look and feel of `root`, whose theme changes reach the application's
// stylesheet as in a product.
struct Product {
    explicit Product(const char* root)
        : manager(std::make_shared<Zentar::App::LookAndFeelManager>(
            root, "theme.json", std::list<std::string> { "base", "widgets", "bench" }))
        , setter(*manager)
    {
    }

    std::shared_ptr<Zentar::App::LookAndFeelManager> manager;
    StyleSheetSetter setter;
};

// One warm-up round that is not kept, then `rounds` measured ones;
// `round(index, libraryFirst)` switches once with each kind, and the kinds
// take turns going first.
template <class Round>
bool TakeTurns(int rounds, std::vector<double>& library, std::vector<double>& bare, Round round)
{
    for (int index = 0; index <= rounds; ++index) {
        if (!round(index, index % 2 == 0))
            return false;
        if (index == 0) {
            library.clear();
            bare.clear();
        }
    }
    return true;
}

bool CompareThemes(const char* root, int rounds)
{
    const Product product(root);
    const auto& manager = product.manager;
    manager->Initialize("de_DE", "Night");
    std::map<std::string, QString> texts { { "Night", qApp->styleSheet() } };
    manager->SetTheme("Day");
    texts["Day"] = qApp->styleSheet();
    if (texts["Day"] == texts["Night"] || texts["Day"].isEmpty())
        return Fail("the two themes compose the same stylesheet");

    BenchWindow window(kWidgets);
    window.show();
    Settle();
    const auto other = [](const std::string& theme) { return theme == "Day" ? std::string("Night") : "Day"; };
    std::string bareTheme = "Day";
    std::vector<double> library;
    std::vector<double> bare;
    const auto runLibrary = [&] {
        // From the manager's theme, whatever the other kind left applied.
        if (qApp->styleSheet() != texts[manager->GetCurrentTheme()]) {
            qApp->setStyleSheet(texts[manager->GetCurrentTheme()]);
            Settle();
        }
        const std::string target = other(manager->GetCurrentTheme());
        library.push_back(Milliseconds([&] { manager->SetTheme(target); }));
        bareTheme = target;
        return qApp->styleSheet() == texts[target] || Fail("the theme switch did not reach the application");
    };
    const auto runBare = [&] {
        const std::string target = other(bareTheme);
        bare.push_back(Milliseconds([&] { qApp->setStyleSheet(texts[target]); }));
        bareTheme = target;
        return true;
    };
    if (!TakeTurns(rounds, library, bare, [&](int, bool libraryFirst) {
            return libraryFirst ? runLibrary() && runBare() : runBare() && runLibrary();
        }))
        return false;
    const double libraryMedian = Bench::Median(library);
    const double bareMedian = Bench::Median(bare);
    const double kilobytes = texts["Day"].toUtf8().size() / 1024.0;
    std::printf("theme switch, %.1f KB stylesheet, %d widgets, %d switches each: %.2f ms vs %.2f ms\n",
        kilobytes, kWidgets, rounds, libraryMedian, bareMedian);
    Bench::Summary("theme switch, " + Bench::Format("%.0f KB", kilobytes) + " stylesheet, 200 widgets",
        Bench::Format("%.2f ms", libraryMedian), Bench::Format("%.2f ms", bareMedian),
        libraryMedian / bareMedian, 1.15);
    // Unloads the packs: the next size has packs of the same names.
    manager->SetTheme(std::string());
    return true;
}

bool CompareLanguages(const char* root, int rounds)
{
    const Product product(root);
    const auto& manager = product.manager;
    manager->Initialize("en_US", "Day");
    BenchWindow window(kWidgets);
    window.show();
    Settle();
    LanguageChangeCounter counter(window);
    const std::map<std::string, QString> open { { "de_DE", QStringLiteral("Öffnen") },
        { "fr_FR", QStringLiteral("Ouvrir") }, { "en_US", QStringLiteral("Open") } };
    const auto qmFile = [root](const std::string& locale) {
        return QString::fromUtf8(root) + QStringLiteral("/resources/locales/")
            + QString::fromStdString(locale) + QStringLiteral("/bench_") + QString::fromStdString(locale)
            + QStringLiteral(".qm");
    };

    std::vector<double> library;
    std::vector<double> bare;
    bool onePass = true;
    // Measures the switch from `from` to `to`; the other kind is out of the
    // way (the manager on its language without translations, no bare
    // translator) before and after.
    const auto timed
        = [&](const std::string& to, const std::function<void()>& body, std::vector<double>& out) {
              counter.Reset();
              const int passes = window.Retranslations();
              out.push_back(Milliseconds(body));
              if (!counter.ExactlyOnce() || window.Retranslations() != passes + 1)
                  onePass = false;
              return window.SampleText() == open.at(to) || Fail("the language switch did not take effect");
          };
    const auto runLibrary = [&](const std::string& from, const std::string& to) {
        manager->SetLocale(from);
        Settle();
        const bool ok = timed(
            to, [&] { manager->SetLocale(to); }, library);
        manager->SetLocale("en_US");
        Settle();
        return ok;
    };
    const auto runBare = [&](const std::string& from, const std::string& to) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(qmFile(from)))
            return Fail("cannot load a translation");
        QCoreApplication::installTranslator(translator.get());
        Settle();
        const bool ok = timed(
            to,
            [&] {
                QCoreApplication::removeTranslator(translator.get());
                translator = std::make_unique<QTranslator>();
                translator->load(qmFile(to));
                QCoreApplication::installTranslator(translator.get());
            },
            bare);
        translator.reset();
        Settle();
        return ok;
    };
    if (!TakeTurns(rounds, library, bare, [&](int round, bool libraryFirst) {
            const std::string from = round % 2 ? "fr_FR" : "de_DE";
            const std::string to = round % 2 ? "de_DE" : "fr_FR";
            return libraryFirst ? runLibrary(from, to) && runBare(from, to)
                                : runBare(from, to) && runLibrary(from, to);
        }))
        return false;
    const double libraryMedian = Bench::Median(library);
    const double bareMedian = Bench::Median(bare);
    std::printf(
        "language switch, %d widgets, %d switches each: %.2f ms vs %.2f ms; one pass per switch: %s\n",
        kWidgets, rounds, libraryMedian, bareMedian, onePass ? "yes" : "NO");
    Bench::Summary("language switch, 200 widgets", Bench::Format("%.2f ms", libraryMedian),
        Bench::Format("%.2f ms", bareMedian), libraryMedian / bareMedian, 1.2);
    Bench::Summary("LanguageChange per widget per switch (both kinds)", onePass ? "1" : "not 1", "1",
        onePass ? 1.0 : 0.0, 1.0, true);
    manager->SetTheme(std::string());
    return true;
}

// The offscreen platform warns at every window resize.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = int(Bench::Count(argc, argv, "--rounds", 15));
    qInstallMessageHandler(QuietMessages);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application object keeps its crash-tracking file at home.
    QTemporaryDir home;
    Bench::UseHome(home.path());

    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    Zentar::App::Application app(argc, argv, context);
    app.SetCustomizationManager(std::make_shared<BenchCustomization>(), true);
    const bool ok = CompareThemes(BENCH_SWITCH_ROOT_20K, rounds)
        && CompareThemes(BENCH_SWITCH_ROOT_200K, rounds) && CompareLanguages(BENCH_SWITCH_ROOT_20K, rounds);
    return ok ? 0 : 1;
}
