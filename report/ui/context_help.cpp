#include "report/ui/context_help.h"

#include <QToolTip>
#include <QVariant>
#include <QWidget>

namespace kelpo::report {
namespace {

struct HelpTopic {
  int tag;
  const char* text;
};

// One topic per help tag the preview's controls carry.
constexpr HelpTopic kTopics[] = {
    {200,
     "放缩：选择页面的显示比例，可选百分比、页宽、全页或双页。\n"
     "在页面上单击右键或按空格键也可打开此菜单。"},
    {201, "打开报表：打开以前保存的报表文件（*.frp），代替当前显示的页面。\n快捷键 Ctrl+O。"},
    {202,
     "保存报表：把全部页面保存为报表文件（*.frp），以后可以再打开查看或打印。\n"
     "快捷键 Ctrl+S。"},
    {203, "打印报表：在打印机上打印报表的页面。没有安装打印机时不能使用。\n快捷键 Ctrl+P。"},
    {204,
     "查找文本：在页面上查找文字，找到的文字反色显示。\n"
     "快捷键 Ctrl+F，按 F3 查找下一处。"},
    {205, "关闭预览：关闭预览窗口，回到原来的窗口。\n快捷键 Esc。"},
    {206, "状态栏：左边显示当前页号和总页数，右边显示鼠标所指链接的目标。"},
    {207,
     "页面：按住左键拖动可移动页面，单击链接可跳到链接的位置，双击某页使它成为当前页，"
     "单击右键选择显示比例。\n"
     "方向键和 PageUp/PageDown 滚动页面，Ctrl+PageUp/Ctrl+PageDown 翻页，"
     "Ctrl+Home/Ctrl+End 到首页/末页。"},
};

}  // namespace

QString frHelpText(int tag) {
  for (const HelpTopic& topic : kTopics)
    if (topic.tag == tag) return QString::fromUtf8(topic.text);
  return {};
}

int helpTagOf(const QWidget* widget) {
  return widget ? widget->property("HelpContext").toInt() : 0;
}

bool showContextHelp(int tag, const QPoint& global, QWidget* control) {
  const QString text = frHelpText(tag);
  if (text.isEmpty()) return false;
  // Shown until the next click or key, however long the text is.
  QToolTip::showText(global, text, control, QRect(), 60000);
  return true;
}

}  // namespace kelpo::report
