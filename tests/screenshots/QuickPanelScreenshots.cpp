// The Quick Panel: every kind of record, empty and failing, on a desktop with a compositor.
#include "Screenshots.h"

#include "DesignTestSupport.h"
#include "FakeWorkspace.h"
#include "QuickPanel.h"
#include "QuickPanelFixture.h"
#include "QuickPanelMotion.h"
#include "SourceApplicationIcon.h"

#include <QTemporaryDir>

namespace tavlin::test {
void quickPanelScreenshots()
{
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        std::optional<ScopedLanguage> russian;
        if (language == QStringLiteral("ru"))
            russian.emplace(language);
        for (const bool dark : {false, true}) {
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? QStringLiteral("dark") : QStringLiteral("light"),
                                                                language);
            const auto shootPanel = [&](PanelFixture& fixture, const QString& name,
                                        const std::function<bool()>& ready) {
                if (!waitFor([&] {
                        return !fixture.coordinator->isBusy() && !fixture.coordinator->motion().isAnimating()
                            && ready();
                    }))
                    problem(name + suffix, QStringLiteral("the panel did not settle"));
                shoot(*fixture.coordinator->panel(), name + suffix);
            };
            // Rounded corners over the desktop, as a compositor shows them.
            PanelFixture empty;
            empty.focus.compositor = true;
            empty.appearance.setDark(dark);
            empty.open(0);
            shootPanel(empty, QStringLiteral("quick-panel-empty"), [] { return true; });

            PanelFixture fixture;
            installApplications(fixture.workspace, fixture.icons);
            fixture.focus.compositor = true;
            fixture.appearance.setDark(dark);
            captureEveryKind(fixture.pasteboard, *fixture.model, fixture.workspace.frontmost, fixture.folder.path());
            fixture.open(10);
            // Presentations (thumbnails, file names) arrive as rows are painted.
            shootPanel(fixture, QStringLiteral("quick-panel-kinds"),
                       [&] { return fixture.state().rows().size() >= 4; });
            // The older records: rich text, an image, a document, a file.
            fixture.state().moveSelection(9);
            shootPanel(fixture, QStringLiteral("quick-panel-kinds-older"), [&] {
                const QList<Clip>& clips = fixture.state().clips();
                return std::all_of(clips.end() - 4, clips.end(),
                                   [&](const Clip& clip) { return fixture.state().rows().contains(clip.id); });
            });

            // On a screen too small for it: laid out whole and shrunk about its top centre.
            fixture.coordinator->panel()->resize(336, 248);
            shootPanel(fixture, QStringLiteral("quick-panel-small"), [] { return true; });
            fixture.coordinator->panel()->resize(QuickPanel::designSize);

            // A record deleted behind the panel's back fails to copy.
            const Clip newest = fixture.state().clips().first();
            executeSQL(fixture.folder.databasePath(), QStringLiteral("DELETE FROM clips WHERE id = %1").arg(newest.id));
            fixture.coordinator->copy(newest);
            shootPanel(fixture, QStringLiteral("quick-panel-error"),
                       [&] { return fixture.find("quick-panel-error")->isVisible(); });
        }
    }
}

} // namespace tavlin::test
