#include "dock/dock_state.h"

namespace pinnafex {

DockState gDock;

}  // namespace pinnafex
