#include "WindowFixture.h"

#include "text/Encoding.h"
#include "web/CurlGlobal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>

#include <fstream>
#include <sstream>

namespace sorvane::app::testing {

namespace {

// One QApplication (and libcurl's global state) for every test of the program.
class GuiTestApp : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "sorvane_app_tests";
        static char *argv[] = { name, nullptr };
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    web::CurlGlobal m_curl;
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] auto *const environment = ::testing::AddGlobalTestEnvironment(new GuiTestApp);

} // namespace

station::Catalogue loadCatalogue(const std::filesystem::path &dir)
{
    std::string error;
    auto catalogue = station::Catalogue::load(dir, error);
    if (!catalogue) {
        ADD_FAILURE() << error;
        return station::Catalogue({});
    }
    return std::move(*catalogue);
}

station::Catalogue shortCatalogue()
{
    return loadCatalogue(station::shortCatalogueDir());
}

station::Catalogue demoCatalogue()
{
    return loadCatalogue(station::demoCatalogueDir());
}

std::vector<std::string> fileLinesUtf8(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string utf8 = text::gbToUtf8(bytes.str());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = utf8.find("\r\n", start);
        if (end == std::string::npos)
            end = utf8.size();
        lines.push_back(utf8.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

namespace {
// The control a click at `hit` lands on: the nearest of it and its ancestors that is one
// of the window's own named controls (Qt's inner widgets, such as a list's viewport,
// belong to their control).
QWidget *owningControl(QWidget *hit)
{
    for (QWidget *w = hit; w; w = w->parentWidget()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_")))
            return w;
    }
    return nullptr;
}
} // namespace

std::optional<QPoint> reachablePoint(QWidget *widget)
{
    if (!widget->isVisible())
        return std::nullopt;
    QWidget *top = widget->window();
    const auto reaches = [&](QPoint p) {
        QWidget *hit = top->childAt(widget->mapTo(top, p));
        return hit && owningControl(hit) == widget;
    };
    const QPoint centre = widget->rect().center();
    if (reaches(centre))
        return centre;
    // Not (0, 0): QTest takes a null point for the widget's centre.
    for (int y = 1; y < widget->height(); y += 2)
        for (int x = 1; x < widget->width(); x += 2)
            if (reaches(QPoint(x, y)))
                return QPoint(x, y);
    return std::nullopt;
}

void chooseComboItem(QComboBox *combo, int index)
{
    ASSERT_TRUE(combo->isVisible()) << "the combo box must be open to choose from it";
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    ASSERT_TRUE(waitFor([list] { return list->isVisible(); }));
    // Moved to with the keyboard and taken with Enter: a click right after the list
    // opens may be swallowed as the release of the click that opened it.
    list->setCurrentIndex(list->model()->index(index, 0));
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(waitFor([list] { return !list->isVisible(); }));
}

WindowFixture::WindowFixture(station::Catalogue catalogue)
    : m_catalogue(std::move(catalogue))
    , m_station(m_catalogue)
{
}

WindowFixture::~WindowFixture()
{
    m_window.reset();
    m_station.stop();
}

void WindowFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(m_station.start());
    ASSERT_TRUE(m_player.isAvailable());
}

MainWindow &WindowFixture::openWindow(std::string musicBase)
{
    AppServices services { m_http, m_player, m_station.baseUrl(),
        musicBase.empty() ? m_station.musicBaseUrl() : std::move(musicBase), dataDir(),
        [this](const QString &url) { m_openedUrls << url; } };
    m_window = std::make_unique<MainWindow>(std::move(services));
    m_window->initialise();
    m_window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    return *m_window;
}

void WindowFixture::closeWindow()
{
    m_window->close();
    m_window.reset();
}

QString WindowFixture::textOf(const QString &name)
{
    auto *label = control<QLabel>(name);
    return label ? label->text() : QString();
}

void WindowFixture::click(QWidget *widget, Qt::MouseButton button)
{
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString() << " is hidden";
    const std::optional<QPoint> at = reachablePoint(widget);
    ASSERT_TRUE(at) << widget->objectName().toStdString() << " is covered by other controls";
    QTest::mouseClick(widget, button, {}, *at);
}

std::vector<station::RequestRecord> WindowFixture::requestsTo(const std::string &prefix) const
{
    std::vector<station::RequestRecord> found;
    for (auto &record : m_station.requests())
        if (record.target.rfind(prefix, 0) == 0)
            found.push_back(record);
    return found;
}

} // namespace sorvane::app::testing
