#include "game/Engine.h"
