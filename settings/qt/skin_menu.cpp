#include "skin_menu.h"

#include <QActionGroup>

#include "qt_text.h"
#include "settings_texts.h"
#include "skin_manager.h"

TSkinMenu::TSkinMenu(TSkinManager& skins, QWidget* parent)
    : QMenu(QLatin1Char('&') + QStringFromCp1251(settings_texts::kSkinMenu), parent),
      skins_(skins) {
  setObjectName(QStringLiteral("SkinMenu"));
  auto* group = new QActionGroup(this);
  // Unchecked all round while the engine remembers a name that is no skin.
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  const auto& names = TSkinEngine::SkinNames();
  for (size_t i = 0; i < names.size(); ++i) {
    QAction* item = addAction(QStringFromCp1251(names[i]));
    item->setCheckable(true);
    items_.push_back(item);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, i, name = names[i]] {
      skins_.Engine().SelectSkin(name);
      if (OnPicked) OnPicked(static_cast<int>(i), name);
    });
  }
  connect(&skins_, &TSkinManager::Changed, this, &TSkinMenu::ShowEngineState);
  ShowEngineState();
}

void TSkinMenu::ShowEngineState() {
  const auto& names = TSkinEngine::SkinNames();
  for (size_t i = 0; i < names.size(); ++i)
    items_[i]->setChecked(names[i] == skins_.Engine().SkinName());
  menuAction()->setVisible(skins_.Engine().Active());
}
