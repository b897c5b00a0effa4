#include "platform/control_texts.h"

#include "platform/controls.h"
#include "platform/qtext.h"

namespace platform {

void SetCaptions(const QWidget& root, const NamedTexts& captions) {
  for (const auto& [name, text] : captions) {
    QWidget* w = FindControl(root, name);
    if (auto* l = qobject_cast<Label*>(w))
      l->SetCaption(text);
    else if (auto* b = qobject_cast<CommandButton*>(w))
      b->SetCaption(text);
    else if (auto* c = qobject_cast<CheckBox*>(w))
      c->SetCaption(text);
    else if (auto* o = qobject_cast<OptionButton*>(w))
      o->SetCaption(text);
    else if (auto* f = qobject_cast<Frame*>(w))
      f->SetCaption(text);
  }
}

void SetToolTips(const QWidget& root, const NamedTexts& tooltips) {
  for (const auto& [name, text] : tooltips) {
    if (QWidget* w = FindControl(root, name)) w->setToolTip(ToQ(text));
  }
}

void ClearToolTips(const QWidget& root, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (QWidget* w = FindControl(root, name)) w->setToolTip(QString());
  }
}

void CopyToolTips(const QWidget& root, const std::vector<std::pair<std::string, std::string>>& target_source) {
  for (const auto& [target, source] : target_source) {
    QWidget* t = FindControl(root, target);
    QWidget* s = FindControl(root, source);
    if (t != nullptr && s != nullptr) t->setToolTip(s->toolTip());
  }
}

}  // namespace platform
