#pragma once
#include <QObject>

namespace korvane {

class CKorvaneView;

// The commands that ask the user something first (a file, a block, a seed)
// before they go to the view or the run manager.
class DialogCommands : public QObject {
  Q_OBJECT
 public:
  explicit DialogCommands(CKorvaneView* view);

 public slots:
  void OnLoadWeights();    // 载入权重文件…
  void OnSaveWeights();    // 保存当前权重…
  void OnSetSeed();        // 设定下一次的种子…
  void OnExportChart();    // 导出图表为PNG…
  void OnExportHistory();  // 导出历史为CSV…
  void OnOpenReportPlot(); // 打开实验报告图…

 private:
  CKorvaneView* m_view;
};

}  // namespace korvane
