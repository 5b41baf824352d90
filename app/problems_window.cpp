// The window of the definition's problems: its menu item, title and list.
#include "app/problems_window.h"

#include "app/check_definition.h"
#include "app/window_item.h"
#include "chr/lint.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

namespace {

const QString Title = "定義の問題";
const QString NoProblems = "問題はありません";

}  // namespace

ProblemsWindow::ProblemsWindow(QWidget& parent, QMenu& viewMenu, std::function<bool()> fromArchive)
        : QWidget(&parent, Qt::Window),
          fromArchive_(std::move(fromArchive))
{
    setObjectName("problemsWindow");
    setAccessibleName(Title);
    setWindowTitle(Title);
    findings = new QListWidget(this);
    findings->setObjectName("problemList");
    findings->setAccessibleName("問題の一覧");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(findings);
    resize(560, 240);

    showAction = addWindowItem(viewMenu, Title, "problemsAction", *this);
}

void ProblemsWindow::list(const std::string& definition)
{
    definition_ = fromArchive_() ? std::nullopt : std::optional(definition);
    listed_ = false;
    if (isVisible()) showFindings();
}

void ProblemsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!listed_) showFindings();
}

void ProblemsWindow::showFindings()
{
    listed_ = true;
    findings->clear();
    if (!definition_) {
        setWindowTitle(Title);
        return;
    }
    const LintReport report = lintDefinition(*definition_);
    for (const LintFinding& finding : report.findings)
        findings->addItem(QString::fromStdString(findingLine(finding, {})));
    if (report.findings.empty()) {
        findings->addItem(NoProblems);
        setWindowTitle(Title + " — " + NoProblems);
    } else {
        setWindowTitle(Title + " (" + QString::number(report.findings.size()) + ")");
    }
}
