#include "app/dialog_commands.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QVBoxLayout>
#include <charconv>
#include <optional>

#include "app/korvane_view.h"
#include "app/qt_text.h"
#include "texts/settings_texts.h"
#include "texts/ui_texts.h"
#include "ui_model/history_export.h"
#include "ui_model/weights_choice.h"

namespace korvane {

DialogCommands::DialogCommands(CKorvaneView* view) : QObject(view), m_view(view) {}

void DialogCommands::OnLoadWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path = QFileDialog::getOpenFileName(m_view->window(), U(text::MenuLoadWeights), QDir::currentPath(),
                                                    U(text::WeightsFilter));
  if (path.isEmpty()) return;
  // A file of several blocks: the user picks one, the last by default.
  std::optional<int> block;
  const std::vector<std::string> blocks = WeightsBlockChoices(path.toStdString());
  if (blocks.size() > 1) {
    QStringList items;
    for (const std::string& b : blocks) items << U(b);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(m_view->window(), U(text::ChooseBlockTitle), U(text::ChooseBlockLabel),
                                                 items, static_cast<int>(items.size()) - 1, false, &ok);
    if (!ok) return;
    block = static_cast<int>(items.indexOf(chosen)) + 1;
  }
  m_view->Runs().LoadWeights(path.toStdString(), block);
}

void DialogCommands::OnSaveWeights() {
  if (!m_view->Runs().MayChangeWeights()) return;
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuSaveWeights),
                                                    QDir::current().filePath(QStringLiteral("weights.txt")),
                                                    U(text::WeightsFilter), nullptr, QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) m_view->Runs().SaveWeights(path.toStdString());
}

void DialogCommands::OnSetSeed() {
  bool ok = false;
  const QString typed = QInputDialog::getText(m_view->window(), U(text::MenuSetSeed), U(text::SeedDialogLabel),
                                              QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  const std::string t = typed.trimmed().toStdString();
  std::uint32_t seed = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), seed);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) {
    m_view->ShowMessage(MsgTypeInteger);
    return;
  }
  m_view->Runs().SetNextSeed(seed);
}

void DialogCommands::OnExportChart() {
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuExportChart),
                                                    QDir::current().filePath(QStringLiteral("korvane-chart.png")),
                                                    U(text::ChartFilter));
  if (!path.isEmpty() && !m_view->ComposeScene().save(path, "PNG")) m_view->ShowMessage(text::ExportFailed);
}

void DialogCommands::OnExportHistory() {
  if (!m_view->State().LastHistory()) {
    m_view->ShowMessage(text::NothingToExport);
    return;
  }
  const QString path = QFileDialog::getSaveFileName(m_view->window(), U(text::MenuExportHistory),
                                                    QDir::current().filePath(QStringLiteral("korvane-history.csv")),
                                                    U(text::HistoryFilter));
  if (path.isEmpty()) return;
  QFile file(path);
  const QByteArray csv = QByteArray::fromStdString(HistoryCsv(*m_view->State().LastHistory(), m_view->State().LastHistoryIsPlanSearch()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) != csv.size() || !file.flush())
    m_view->ShowMessage(text::ExportFailed);
}

void DialogCommands::OnOpenReportPlot() {
  const QString path = QFileDialog::getOpenFileName(m_view->window(), U(text::MenuOpenReportPlot), QDir::currentPath(),
                                                    U(text::ReportPlotFilter));
  if (path.isEmpty()) return;
  const QPixmap plot(path);
  if (plot.isNull()) {
    m_view->ShowMessage(text::ReportPlotUnreadable);
    return;
  }
  // A plot from korvane-cli report --plots, shown as it is, scaled down to fit.
  QDialog box(m_view->window());
  box.setWindowTitle(QFileInfo(path).fileName());
  auto* image = new QLabel(&box);
  image->setPixmap(plot.width() > 1100 || plot.height() > 750
                       ? plot.scaled(1100, 750, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                       : plot);
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(image);
  box.exec();
}

}  // namespace korvane
