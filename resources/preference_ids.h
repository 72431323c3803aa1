// Ids of the preference dialogs "PREFERENCES" and "POPTIONS".
#pragma once
