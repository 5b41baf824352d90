// The real main window on Qt's offscreen platform for tests: boxes the test answers
// and reads, a private unpack folder under the test's folder, a clock the test sets,
// and one idle turn at a time instead of the window's own cycle.
#pragma once

#include "app/form1.h"
#include "app/qt_window_host.h"
#include "app/window_main.h"
#include "chr/qpchr.h"
#include "platform/clock.h"
#include "support/package_folder.h"
#include "support/scoped_environment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <memory>

// details: of the boxes with a details section.
struct RecordingBoxes : MessageBoxes {
    void showError(const std::string& text) override { errors.push_back(text); }
    void showErrorWithDetails(const std::string& text, const std::string& shown) override
    {
        errors.push_back(text);
        details.push_back(shown);
    }
    bool askYesNo(const std::string& text) override
    {
        questions.push_back(text);
        return answer;
    }

    std::vector<std::string> errors, details, questions;
    bool answer = true;
};

class FormTest : public PackageTest {
protected:
    void SetUp() override
    {
        // The application object of the test program, made once on the offscreen platform.
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        [[maybe_unused]] static QApplication* application = [] {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            auto* made = new QApplication(argc, argv);
            prepareApplication(*made);
            return made;
        }();
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        runtimeVariable.emplace("XDG_RUNTIME_DIR", runtime.string());
        setMillisecondClock([this] { return now; });
    }
    void TearDown() override
    {
        form.reset();
        setMillisecondClock({});
        runtimeVariable.reset();
    }

    // A new main window with the given command-line arguments.
    TForm1& open(std::vector<std::string> arguments = {})
    {
        auto recording = std::make_unique<RecordingBoxes>();
        boxes = recording.get();
        form = std::make_unique<TForm1>(std::move(arguments), std::move(recording));
        return *form;
    }
    void turns(int count)
    {
        for (int i = 0; i < count; ++i) form->runIdleTurn();
    }
    // Sends a drop of these files, offered as a file manager offers them (as URLs
    // and as text), to the window or to one of its controls. The drop ends before
    // the files are sorted and loaded, which happens once the window's events run.
    void drop(const std::vector<std::string>& files, QWidget* target = nullptr)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& file : files) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file)));
        data.setUrls(urls);
        data.setText(urls.front().toString());
        target = target ? target : form.get();
        // Qt hands a drop to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        ASSERT_TRUE(event.isAccepted());
        QCoreApplication::sendPostedEvents(form.get());
    }
    // A pixel of the character view as the window shows it, 0x00RRGGBB.
    uint32_t viewPixel(int x, int y)
    {
        QtWindowHost& host = form->host();
        return host.frameBuffer()[y * host.clientWidth() + 104 + x] & 0xFFFFFFu;
    }

    const std::filesystem::path runtime = folder / "runtime";
    std::optional<ScopedVariable> runtimeVariable;
    uint32_t now = 1000;
    std::unique_ptr<TForm1> form;
    RecordingBoxes* boxes = nullptr;
};
