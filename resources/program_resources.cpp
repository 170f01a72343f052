#include "program_resources.h"

#include <QtCore/QDir>

// Outside any namespace: the macro names a global function.
static void InitResources() {
  Q_INIT_RESOURCE(resources);
}

void LoadProgramResources() {
  InitResources();
}
