// The folder rule commands of the main window: a new rule, and a change to a
// rule's row. The rule window does the asking; these put its answer in the
// list.
#include "app/commands_win.h"
#include "app/delete_list.h"
#include "app/main_window_win.h"
#include "app/rule_window_win.h"
#include "base/error_trap_win.h"

namespace app {
namespace {

RuleWindow& TheRuleWindow() {
  static RuleWindow window;
  return window;
}

}  // namespace

void RunRuleCommand(MainWindow& window) {
  if (window.Busy()) return (void)MessageBeep(MB_OK);
  listfile::FolderRule rule;
  const bool opened = TheRuleWindow().Open(window.hwnd(), window.Icon(), L"Add Rule", rule, window.ListPath(),
                                           [&window](const listfile::FolderRule& made) {
                                             base::trap::Guard([&] {
                                               ST(window.List().AppendRule(made));
                                               window.ListChanged();
                                               ST(window.SetStatus(ItemsLoadedText(window.List().Count())));
                                             });
                                           });
  if (!opened) MessageBeep(MB_OK);
}

// The main window takes no command while the rule window is open, so the
// row is still the rule's when OK comes.
void EditRuleCommand(MainWindow& window, size_t row) {
  listfile::FolderRule rule;
  if (window.Busy() || row >= window.List().Count() || !window.List().RuleAt(row, rule)) return;
  const bool opened = TheRuleWindow().Open(window.hwnd(), window.Icon(), L"Change Rule", rule, window.ListPath(),
                                           [&window, row](const listfile::FolderRule& changed) {
                                             base::trap::Guard([&] {
                                               if (row >= window.List().Count()) return;
                                               ST(window.List().SetRule(row, changed));
                                               window.ListChanged();
                                             });
                                           });
  if (!opened) MessageBeep(MB_OK);
}

}  // namespace app
