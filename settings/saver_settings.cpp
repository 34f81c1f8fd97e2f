#include "settings/saver_settings.h"

SaverSettings saverSettings = {4, 50, 150, 250.0f};
