// Renders every window into <build>/screenshots, in light, dark, increased contrast and Russian,
// for people to look at. Run by ./test.sh after the tests. Fails on what a picture shows that a
// person could miss: a text cut short, a record missing, a window that does not come up.
#include "Screenshots.h"

#include "DesignTestSupport.h"

#include "ClearHistorySheet.h"
#include "ConfirmationAnimation.h"
#include "FakeSystemAppearance.h"
#include "HistoryWindowFixture.h"
#include "RecordMenu.h"
#include "SourceFilterPopover.h"
#include "ThemeAppearance.h"
#include "ThrowAwayHome.h"

#include "ButtonLook.h"
#include "ClipPreviewPanel.h"
#include "FakeApplicationIconImages.h"
#include "FakeWorkspace.h"
#include "HistoryEmptyView.h"
#include "ImageSamples.h"
#include "SourceApplicationIcon.h"
#include "StoredPlaceholder.h"
#include "TavlinStyle.h"
#include "ThemedWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QVariantAnimation>

#include <cstdio>

namespace tavlin::test {

int problems = 0;

void problem(const QString& name, const QString& what)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(what));
    ++problems;
}

void shoot(QWidget& widget, const QString& name)
{
    for (const QWidget* child : widget.findChildren<QWidget*>()) {
        const auto* button = qobject_cast<const QAbstractButton*>(child);
        const auto* label = qobject_cast<const QLabel*>(child);
        if (!child->isVisible())
            continue;
        if (button && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            problem(name,
                    QStringLiteral("button \"%1\" is %2 px wide, its text needs %3")
                        .arg(button->text())
                        .arg(button->width())
                        .arg(button->sizeHint().width()));
        if (label && label->wordWrap() && !label->text().isEmpty()
            && label->height() < label->heightForWidth(label->width()))
            problem(name,
                    QStringLiteral("label \"%1\" is %2 px high, its text needs %3")
                        .arg(label->text())
                        .arg(label->height())
                        .arg(label->heightForWidth(label->width())));
    }
    QDir().mkpath(QStringLiteral(TAVLIN_SCREENSHOT_DIR));
    const QString path = QStringLiteral(TAVLIN_SCREENSHOT_DIR "/%1.png").arg(name);
    // Onto a transparent canvas: what a window leaves unpainted (rounded corners) stays see-through.
    QImage image(widget.size() * widget.devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(widget.devicePixelRatioF());
    image.fill(Qt::transparent);
    widget.render(&image);
    image.save(path);
    std::printf("%s\n", qPrintable(path));
}

namespace {

using test::shoot;

void shoot(ThemedWindow& window, const QString& name)
{
    // What a view reads away from the main thread (rich text) is shown once it is read.
    QThreadPool::globalInstance()->waitForDone();
    ThemedWindow::settle();
    shoot(window.window, name);
}

QImage landscape()
{
    QImage image(1200, 800, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 800);
    sky.setColorAt(0, QColor(0xBFD8FF));
    sky.setColorAt(1, QColor(0xFFE3C9));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFFC857));
    painter.drawEllipse(QPointF(880, 250), 110, 110);
    painter.setBrush(QColor(0x6652AD));
    painter.drawPolygon(QPolygonF({QPointF(0, 800), QPointF(380, 330), QPointF(760, 800)}));
    painter.setBrush(QColor(0x2E2F36));
    painter.drawPolygon(QPolygonF({QPointF(420, 800), QPointF(820, 420), QPointF(1200, 800)}));
    return image;
}

QImage editorIcon()
{
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3D8BFD));
    painter.drawRoundedRect(QRectF(4, 4, 56, 56), 14, 14);
    painter.setBrush(Qt::white);
    for (const auto& [y, width] : {std::pair{18, 28}, std::pair{29, 22}, std::pair{40, 26}})
        painter.drawRect(QRectF(18, y, width, 5));
    return icon;
}

const char* const swiftCode = "import Foundation\n"
                              "\n"
                              "// Sums the sizes of every file in a folder.\n"
                              "struct FolderSize {\n"
                              "    let url: URL\n"
                              "\n"
                              "    func total() throws -> Int {\n"
                              "        var sum = 0\n"
                              "        for file in try FileManager.default.contentsOfDirectory(atPath: url.path) {\n"
                              "            sum += 1_024 * 0x10\n"
                              "        }\n"
                              "        return sum > 0 ? sum : -1\n"
                              "    }\n"
                              "}\n";

const char* const richText =
    "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\froman Times;}"
    "{\\colortbl;\\red102\\green82\\blue173;\\red46\\green47\\blue54;\\red200\\green60\\blue60;}"
    "\\f0\\fs36\\b\\cf1 Weekly notes\\b0\\fs24\\cf2\\par "
    "The {\\b launch} moved to {\\i Thursday}; the {\\cf3 old date} no longer holds.\\line "
    "\\f1 Please read the summary before the call and bring questions.\\par}";

struct Sample {
    QString name;
    Clip clip;
    ClipPreview preview;
    std::optional<ClipMetadata> metadata;
};

ClipMetadata countsOf(const QString& text)
{
    ClipMetadata metadata;
    metadata.characterCount = text.size();
    metadata.lineCount = text.count(u'\n') + 1;
    return metadata;
}

QList<Sample> samples(const QString& existingFile, const QString& imageFile)
{
    const QString note = QStringLiteral(
        "Meet at the Lighthouse café on Friday at 7 — bring the tickets and the good mood. 🎟️");
    const QString code = QString::fromUtf8(swiftCode);
    ClipMetadata image;
    image.pixelWidth = 1200;
    image.pixelHeight = 800;
    ClipMetadata files;
    files.filePaths = {existingFile, QStringLiteral("/home/ann/Documents/notes")};
    ClipMetadata oneFile;
    oneFile.filePaths = {imageFile};
    oneFile.pixelWidth = 1200;
    oneFile.pixelHeight = 800;
    QString log;
    for (int line = 0; line < 400; ++line)
        log += QStringLiteral("12:%1:%2 INFO request /items/%3 served in %4 ms\n")
                   .arg(line / 60, 2, 10, QChar(u'0'))
                   .arg(line % 60, 2, 10, QChar(u'0'))
                   .arg(line * 37)
                   .arg(line % 97);
    Clip favorite = sampleRecord(ClipKind::text, note);
    favorite.isFavorite = true;
    return {
        {QStringLiteral("text"), favorite, ClipPreview::text(), countsOf(note)},
        {QStringLiteral("code"), sampleRecord(ClipKind::text, code, QStringLiteral("org.example.Gone")),
         ClipPreview::text(), countsOf(code)},
        {QStringLiteral("richtext"), sampleRecord(ClipKind::richText, StoredPlaceholder::formattedText()),
         ClipPreview::richText(richText, QStringLiteral("public.rtf")), countsOf(QStringLiteral("Weekly notes"))},
        {QStringLiteral("link"),
         sampleRecord(ClipKind::link, QStringLiteral("https://developer.mozilla.org/en-US/docs/Web/HTTP/Overview")),
         ClipPreview::text(), std::nullopt},
        {QStringLiteral("image"), sampleRecord(ClipKind::image, StoredPlaceholder::image(), std::nullopt),
         ClipPreview::image(encoded(landscape(), "PNG")), image},
        {QStringLiteral("file"), sampleRecord(ClipKind::file, StoredPlaceholder::files(2)), ClipPreview::text(), files},
        {QStringLiteral("imagefile"), sampleRecord(ClipKind::file, QFileInfo(imageFile).fileName()),
         ClipPreview::image(encoded(landscape(), "PNG")), oneFile},
        {QStringLiteral("longtext"), sampleRecord(ClipKind::text, log), ClipPreview::text(), countsOf(log)},
        {QStringLiteral("longlink"),
         sampleRecord(ClipKind::link,
                      QStringLiteral("https://tracking.newsletter-mailer.example-company.co.uk/click?u=")
                          + QStringLiteral("a1b2c3d4e5f6").repeated(900)),
         ClipPreview::text(), std::nullopt},
    };
}

void previewPanels()
{
    QTemporaryDir folder;
    FakeWorkspace workspace;
    FakeApplicationIconImages icons;
    installApplications(workspace, icons);
    const QString report = folder.filePath(QStringLiteral("Quarterly report.pdf"));
    QFile file(report);
    file.open(QIODevice::WriteOnly);
    file.write("%PDF-1.4");
    file.close();
    const QString photo = folder.filePath(QStringLiteral("holiday.png"));
    landscape().save(photo);

    const auto show = [&](const Sample& sample, bool dark, const QString& name, QSize size = {440, 640}) {
        ThemedWindow window(dark);
        const SourceApplicationIcon sources(workspace, icons);
        window.hold(new ClipPreviewPanel(sources, sample.clip, sample.preview, QImage::fromData(sample.preview.data),
                                         sample.metadata, sample.name == u"code", {}, {}, {}),
                    size + QSize(2 * window.margin, 2 * window.margin));
        shoot(window, name);
    };
    for (const Sample& sample : samples(report, photo)) {
        show(sample, false, QStringLiteral("preview-%1-light").arg(sample.name));
        show(sample, true, QStringLiteral("preview-%1-dark").arg(sample.name));
    }
    ScopedLanguage russian(QStringLiteral("ru"));
    for (const Sample& sample : samples(report, photo)) {
        if (sample.name == u"file" || sample.name == u"text" || sample.name == u"imagefile")
            show(sample, false, QStringLiteral("preview-%1-light-ru").arg(sample.name));
        // As narrow and low as the history window at its smallest size shows it.
        if (sample.name == u"imagefile" || sample.name == u"link" || sample.name == u"longlink")
            show(sample, false, QStringLiteral("preview-%1-small-ru").arg(sample.name), {280, 460});
    }
}

void buttons()
{
    using Kind = TavlinButtonStyle::Kind;
    for (const auto& [name, dark, contrast] :
         {std::tuple{"buttons-light", false, false}, std::tuple{"buttons-dark", true, false},
          std::tuple{"buttons-light-high-contrast", false, true},
          std::tuple{"buttons-dark-high-contrast", true, true}}) {
        ThemedWindow window(dark, contrast);
        auto* sheet = new QWidget;
        auto* column = new QVBoxLayout(sheet);
        column->setSpacing(10);
        // The second row is disabled; the focus ring shows on the first secondary button.
        for (bool enabled : {true, false}) {
            auto* row = new QHBoxLayout();
            row->setSpacing(12);
            for (auto* button : {ButtonLook::action({Kind::primary, 34}, QStringLiteral("Continue")),
                                 ButtonLook::action({Kind::secondary, 30}, QStringLiteral("Choose Shortcut")),
                                 ButtonLook::action({Kind::quiet, 34}, QStringLiteral("Skip"))}) {
                button->setEnabled(enabled);
                row->addWidget(button);
            }
            row->addStretch(1);
            column->addLayout(row);
        }
        // The other looks, the chosen ones checked; below them, each as the keyboard's focus shows it.
        auto* choices = new QWidget;
        auto* others = new QHBoxLayout(choices);
        others->setContentsMargins(0, 0, 0, 0);
        others->setSpacing(8);
        for (const ButtonLook::Kind kind :
             {ButtonLook::Kind::chip, ButtonLook::Kind::segment, ButtonLook::Kind::sidebarRow}) {
            for (const bool chosen : {true, false}) {
                ButtonLook look = ButtonLook::withKind(kind);
                look.symbol = kind == ButtonLook::Kind::sidebarRow ? QStringLiteral("clock") : QString();
                look.detail = kind == ButtonLook::Kind::sidebarRow ? QStringLiteral("12") : QString();
                auto* button = ButtonLook::push(look, chosen ? QStringLiteral("Text") : QStringLiteral("Links"));
                button->setCheckable(true);
                button->setChecked(chosen);
                others->addWidget(button);
            }
        }
        others->addWidget(ButtonLook::symbolButton(QStringLiteral("ellipsis.circle"), 26, 20, QStringLiteral("More")));
        others->addStretch(1);
        column->addWidget(choices);
        auto* focusedChoices = new QLabel;
        column->addWidget(focusedChoices);
        window.hold(sheet, QSize(760, 240));
        window.window.activateWindow();
        QPixmap focused(choices->size() * choices->devicePixelRatioF());
        focused.setDevicePixelRatio(choices->devicePixelRatioF());
        focused.fill(Qt::transparent);
        {
            QPainter painter(&focused);
            for (QAbstractButton* button : choices->findChildren<QAbstractButton*>()) {
                button->setFocus(Qt::TabFocusReason);
                ThemedWindow::settle();
                painter.drawPixmap(button->pos(), button->grab());
            }
        }
        focusedChoices->setPixmap(focused);
        sheet->findChildren<QPushButton*>().at(1)->setFocus(Qt::TabFocusReason);
        ThemedWindow::settle();
        shoot(window, QString::fromLatin1(name));
    }
}

void emptyStates()
{
    using Kind = HistoryEmptyView::Kind;
    const auto show = [](bool dark, Kind kind, const QString& name) {
        ThemedWindow window(dark);
        window.system.setReduceMotion(true);
        window.hold(new HistoryEmptyView(kind, [] {}), QSize(600, 420));
        shoot(window, name);
    };
    show(false, Kind::history, QStringLiteral("empty-history-light"));
    show(true, Kind::search, QStringLiteral("empty-search-dark"));
    ScopedLanguage russian(QStringLiteral("ru"));
    show(false, Kind::search, QStringLiteral("empty-search-ru"));
}

} // namespace

void designScreenshots()
{
    previewPanels();
    buttons();
    emptyStates();
}

namespace {

// A record copied back, its confirmation caught halfway in.
void confirmationHalfway(HistoryWindowFixture& fixture, ContentView& view, const QString& name)
{
    auto* animation = fixture.records()->findChild<ConfirmationAnimation*>();
    const Clip copied = fixture.model->browser().clips().at(1);
    view.setSelection(copied.id);
    QTest::qWait(300);
    view.copyClip(copied);
    QVariantAnimation* running = nullptr;
    if (!QTest::qWaitFor([&] { return (running = animation->findChild<QVariantAnimation*>()) != nullptr; }, 5000)) {
        problem(name, QStringLiteral("the copy shows no confirmation"));
        return;
    }
    running->pause();
    running->setCurrentTime(ConfirmationAnimation::durationMilliseconds / 2);
    shoot(view, name);
    running->resume();
    if (!QTest::qWaitFor([&] { return !animation->isAnimating(); }, 10000))
        problem(name, QStringLiteral("the confirmation never ends"));
}

void historyViews(HistoryWindowFixture& fixture, FakeSystemAppearance& system, const QString& language, bool dark)
{
    for (HistoryViewMode mode : {HistoryViewMode::cards, HistoryViewMode::list}) {
        fixture.preferences.setViewMode(mode);
        fixture.preferences.setThemePreference(dark ? ThemePreference::dark : ThemePreference::light);
        ContentView& view = fixture.show();
        new ThemeAppearance(&view, system, fixture.preferences.themePreference());
        fixture.records()->setFocus();
        ThemedWindow::settle();
        const QString name = QStringLiteral("history-%1-%2-%3")
                                 .arg(toRaw(mode), dark ? QStringLiteral("dark") : QStringLiteral("light"), language);
        if (fixture.records()->model()->rowCount() != fixture.model->browser().clips().size()) {
            problem(name,
                    QStringLiteral("%1 of %2 records listed")
                        .arg(fixture.records()->model()->rowCount())
                        .arg(fixture.model->browser().clips().size()));
        }
        shoot(view, name);
        if (language == u"en")
            confirmationHalfway(fixture, view, name + QStringLiteral("-copied"));
    }
}

// The chosen kind chip and the chosen sidebar row, each with the keyboard's focus, beside their
// accent edges.
void keyboardFocus(HistoryWindowFixture& fixture, FakeSystemAppearance& system, bool dark)
{
    ContentView& view = fixture.show();
    new ThemeAppearance(&view, system, dark ? ThemePreference::dark : ThemePreference::light);
    view.window()->activateWindow();
    for (const char* control : {"history-kind-all", "history-section-history"}) {
        fixture.find(QString::fromLatin1(control))->setFocus(Qt::TabFocusReason);
        ThemedWindow::settle();
        shoot(view,
              QStringLiteral("history-focus-%1-%2-contrast-en")
                  .arg(QString::fromLatin1(control).section(u'-', 1, 1),
                       dark ? QStringLiteral("dark") : QStringLiteral("light")));
    }
}

} // namespace

void installApplications(FakeWorkspace& workspace, FakeApplicationIconImages& icons)
{
    const QString icon = QStringLiteral("text-editor");
    icons.applications.insert(icon, editorIcon());
    for (const auto& [id, name] :
         {std::pair{"org.gnome.TextEditor", "Text Editor"}, std::pair{"org.example.Editor", "Text Editor"},
          std::pair{"org.mozilla.firefox", "Firefox"}, std::pair{"org.gnome.Nautilus", "Files"},
          std::pair{"org.libreoffice.LibreOffice", "LibreOffice"}})
        workspace.install({QString::fromLatin1(id), QString::fromLatin1(name), icon,
                           QStringLiteral("/usr/share/applications/%1.desktop").arg(QString::fromLatin1(id))});
    // Installed, but with an icon no theme draws: the kind's symbol stands in.
    workspace.install({QStringLiteral("org.gnome.Loupe"), QStringLiteral("Image Viewer"),
                       QStringLiteral("image-viewer"),
                       QStringLiteral("/usr/share/applications/org.gnome.Loupe.desktop")});
}

void captureEveryKind(FakePasteboard& pasteboard, HistoryModel& model, std::optional<QString>& frontmost,
                      const QString& folder)
{
    const auto capture = [&](std::optional<QString> source, const QString& type, const QByteArray& data) {
        frontmost = std::move(source);
        pasteboard.setItems({{{type}, {{type, data}}}});
        QCoro::waitFor(model.monitor().tick());
    };
    const QString photo = folder + QStringLiteral("/holiday.png");
    landscape().scaled(640, 427).save(photo);
    const QString text = QStringLiteral("public.utf8-plain-text");
    const QString editor = QStringLiteral("org.gnome.TextEditor");
    capture(QStringLiteral("org.gnome.Nautilus"), QStringLiteral("public.file-url"),
            QUrl::fromLocalFile(photo).toEncoded());
    capture(std::nullopt, QStringLiteral("com.adobe.pdf"), "%PDF-1.4 report");
    capture(QStringLiteral("org.gnome.Loupe"), QStringLiteral("public.png"),
            encoded(landscape().scaled(640, 427), "PNG"));
    capture(
        QStringLiteral("org.libreoffice.LibreOffice"), QStringLiteral("public.rtf"),
        "{\\rtf1\\ansi{\\fonttbl\\f0 Serif;}{\\colortbl;\\red180\\green30\\blue30;}\\f0\\fs30 "
        "\\b Quarterly notes\\b0\\par \\cf1 Revenue grew\\cf0  in every region; see the \\i attached\\i0  tables.}");
    // Rich text that names no colour: it takes the theme's text colour on the theme's surface.
    capture(editor, QStringLiteral("public.rtf"),
            "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}\\f0\\pard This is {\\b bold RTF} text with "
            "{\\i italics}.\\par}");
    capture(editor, text, "{\n  \"name\": \"tavlin\",\n  \"version\": 1\n}");
    capture(QStringLiteral("org.mozilla.firefox"), text,
            "https://www.debian.org/releases/stable/amd64/ch02s01.html?lang=en");
    capture(editor, text,
            QStringLiteral("Привет! Встреча перенесена на четверг, 15:00 — захватите, пожалуйста, отчёт "
                           "🙂")
                .toUtf8());
    capture(std::nullopt, text, QStringLiteral("مرحبا بالعالم — نص من اليمين إلى اليسار").toUtf8());
    // The newest, so the one the preview shows: a link whose host alone outgrows a narrow preview.
    capture(QStringLiteral("org.mozilla.firefox"), text,
            "https://documentation.platform-engineering.internal.example-corporation.co.uk/guides/first-week");
    QCoro::waitFor(model.browser().reload());
    QCoro::waitFor(model.operations().setFavorite(model.browser().clips()[1], true));
}

// A menu that pops up over `view`, as it shows.
void shootMenu(ContentView& view, const QString& name)
{
    ThemedWindow::settle();
    for (QMenu* menu : view.window()->findChildren<QMenu*>()) {
        if (menu->isVisible()) {
            shoot(*menu, name);
            menu->close();
            return;
        }
    }
    problem(name, QStringLiteral("the menu did not open"));
}

// The Apps popover, the clear-history sheet, the More Actions menu and a record's menu over `view`.
void historyDialogs(ContentView& view, const Clip& record, const QString& suffix)
{
    if (auto* more = view.findChild<QAbstractButton*>(QStringLiteral("history-more-actions"))) {
        more->click();
        shootMenu(view, QStringLiteral("history-more-actions-") + suffix);
    }
    RecordMenu::build(
        record, [](qint64) { return std::optional<Clip>(); }, {}, view.window())
        ->popup(view.mapToGlobal(QPoint(300, 200)));
    shootMenu(view, QStringLiteral("history-record-menu-") + suffix);

    view.setShowingSources(true);
    view.sourcePopover()->adjustSize();
    // Its icons are decoded on a worker once drawn: drawn, then shown as they arrived.
    view.sourcePopover()->grab();
    QThreadPool::globalInstance()->waitForDone();
    ThemedWindow::settle();
    shoot(*view.sourcePopover(), QStringLiteral("history-popover-") + suffix);
    view.setShowingSources(false);
    view.showClearSheet();
    view.clearSheet()->adjustSize();
    shoot(*view.clearSheet(), QStringLiteral("history-sheet-") + suffix);
    view.clearSheet()->reject();
}

void historyWindowScreenshots()
{
    FakeSystemAppearance system;
    {
        HistoryWindowFixture fixture;
        installApplications(fixture.workspace, fixture.icons);
        fixture.open();
        captureEveryKind(fixture.pasteboard, *fixture.model, fixture.workspace.frontmost, fixture.folder.path());
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
            std::optional<ScopedLanguage> scoped;
            if (language == u"ru")
                scoped.emplace(language);
            for (bool dark : {false, true})
                historyViews(fixture, system, language, dark);
            if (language == u"en") {
                system.setIncreasedContrast(true);
                for (bool dark : {false, true}) {
                    historyViews(fixture, system, QStringLiteral("contrast-en"), dark);
                    keyboardFocus(fixture, system, dark);
                }
                system.setIncreasedContrast(false);
            }
            // The smallest window: the header narrows and the kind chips scroll.
            ContentView& view = fixture.show({820, 540});
            new ThemeAppearance(&view, system, ThemePreference::light);
            ThemedWindow::settle();
            shoot(view, QStringLiteral("history-compact-") + language);
            historyDialogs(view, fixture.model->browser().clips().first(), language);
            ContentView& dark = fixture.show({820, 540});
            new ThemeAppearance(&dark, system, ThemePreference::dark);
            ThemedWindow::settle();
            historyDialogs(dark, fixture.model->browser().clips().first(), language + QStringLiteral("-dark"));
        }
        system.setIncreasedContrast(true);
        for (bool dark : {false, true}) {
            ContentView& view = fixture.show({820, 540});
            new ThemeAppearance(&view, system, dark ? ThemePreference::dark : ThemePreference::light);
            ThemedWindow::settle();
            historyDialogs(view, fixture.model->browser().clips().first(),
                           dark ? QStringLiteral("dark-contrast-en") : QStringLiteral("light-contrast-en"));
        }
        system.setIncreasedContrast(false);
    }
    HistoryWindowFixture empty;
    ContentView& view = empty.show({820, 540});
    new ThemeAppearance(&view, system, ThemePreference::light);
    ThemedWindow::settle();
    shoot(view, QStringLiteral("history-empty"));
}

} // namespace tavlin::test

int main(int argc, char** argv)
{
    const tavlin::test::ThrowAwayHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tavlin::TavlinStyle::install();
    // Problems stand out: the offscreen platform's and the system's own warnings go.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    // The font an X11 desktop without settings of its own gives Qt (the offscreen platform would
    // give a larger one), and a fixed language, so that the pictures show what users see.
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    using namespace tavlin::test;
    installEnglishTexts();
    designScreenshots();
    historyWindowScreenshots();
    settingsScreenshots();
    quickPanelScreenshots();
    introductionScreenshots();
    return problems == 0 ? 0 : 1;
}
