// The Quick Panel: every kind of record, empty and failing, on a desktop with a compositor.
#include "Screenshots.h"

#include "DesignTestSupport.h"
#include "FakeWorkspace.h"
#include "QuickPanel.h"
#include "QuickPanelFixture.h"
#include "QuickPanelMotion.h"
#include "SourceApplicationIcon.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace tavlin::test {
namespace {

QByteArray png()
{
    QImage image(96, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0x3D7BD9));
    painter.fillRect(QRect(0, 40, 96, 24), QColor(0x4CAF50));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// One record of every kind, the newest a favourite.
void captureEveryKind(PanelFixture& fixture)
{
    using Item = FakePasteboard::Item;
    const auto capture = [&](const QList<Item>& items) {
        fixture.pasteboard.setItems(items);
        QCoro::waitFor(fixture.model->tick());
    };
    capture({{{QStringLiteral("com.adobe.pdf")}, {{QStringLiteral("com.adobe.pdf"), QByteArray("%PDF-1.4 a document")}}}});
    fixture.frontmost = QStringLiteral("org.gnome.Nautilus");
    capture({{{QStringLiteral("public.file-url")}, {{QStringLiteral("public.file-url"), QUrl::fromLocalFile(QStringLiteral("/home/ann/Documents/report.pdf")).toEncoded()}}}});
    fixture.frontmost = QStringLiteral("org.mozilla.firefox");
    capture({{{QStringLiteral("public.png")}, {{QStringLiteral("public.png"), png()}}}});
    fixture.frontmost = QStringLiteral("org.libreoffice.LibreOffice");
    capture({{{QStringLiteral("public.rtf"), QStringLiteral("public.utf8-plain-text")},
              {{QStringLiteral("public.rtf"), QByteArray("{\\rtf1 {\\b Bold} words}")}, {QStringLiteral("public.utf8-plain-text"), QByteArray("Bold words")}}}});
    fixture.capture(QStringLiteral("https://www.debian.org/releases/"));
    fixture.frontmost = QStringLiteral("org.gnome.TextEditor");
    fixture.capture(QStringLiteral("{\n  \"name\": \"tavlin\",\n  \"version\": 1\n}"));
    fixture.capture(QStringLiteral("Привет! Emoji 👍🏽 and עברית in one line"));
    fixture.capture(QStringLiteral("A short note to copy again"));
    QCoro::waitFor(fixture.model->setFavorite(fixture.model->clips().first(), true));
}

} // namespace

void quickPanelScreenshots()
{
    QTemporaryDir icons;
    FakeWorkspace workspace;
    installApplications(workspace, icons);
    SourceApplicationIcon::setWorkspace(&workspace);
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        std::optional<ScopedLanguage> russian;
        if (language == QStringLiteral("ru"))
            russian.emplace(language);
        for (const bool dark : {false, true}) {
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? QStringLiteral("dark") : QStringLiteral("light"), language);
            const auto shootPanel = [&](PanelFixture& fixture, const QString& name, const std::function<bool()>& ready) {
                if (!waitFor([&] { return !fixture.coordinator->isBusy() && !fixture.coordinator->motion().isAnimating() && ready(); }))
                    problem(name + suffix, QStringLiteral("the panel did not settle"));
                shoot(*fixture.coordinator->panel(), name + suffix);
            };
            // Rounded corners over the desktop, as a compositor shows them.
            PanelFixture empty;
            empty.desktop.compositing = true;
            empty.appearance.setDark(dark);
            empty.open(0);
            shootPanel(empty, QStringLiteral("quick-panel-empty"), [] { return true; });

            PanelFixture fixture;
            fixture.desktop.compositing = true;
            fixture.appearance.setDark(dark);
            captureEveryKind(fixture);
            fixture.open(8);
            // Presentations (thumbnails, file names) arrive as rows are painted.
            shootPanel(fixture, QStringLiteral("quick-panel-kinds"), [&] { return fixture.state().rows().size() >= 4; });
            // The older half: rich text, an image, a file, a document.
            fixture.state().moveSelection(7);
            shootPanel(fixture, QStringLiteral("quick-panel-kinds-older"), [&] { return fixture.state().rows().size() == 8; });

            // A record deleted behind the panel's back fails to copy.
            const Clip newest = fixture.state().clips().first();
            executeSQL(fixture.folder.databasePath(), QStringLiteral("DELETE FROM clips WHERE id = %1").arg(newest.id));
            fixture.coordinator->copy(newest);
            shootPanel(fixture, QStringLiteral("quick-panel-error"), [&] { return fixture.find("quick-panel-error")->isVisible(); });
        }
    }
    SourceApplicationIcon::setWorkspace(nullptr);
}

} // namespace tavlin::test
