// The current turtle.
#include "logo/Logo.h"

namespace {
TurtleState g_turtle;
}  // namespace

TurtleState& CurrentTurtle() { return g_turtle; }
void SelectTurtle(const TurtleState& turtle) { g_turtle = turtle; }
