// A module's request while an authoring dialog or loop runs (RequestHold_win.cpp, the rule and
// the keeper of each code in its row of RequestTable.h).
#pragma once

#include "actions/NbaInterface.h"
#include "host/requests/RequestTable.h"

// Under a guard, a request that waits is kept to be made again once the last dialog has ended
// (on the stack and card it was asked on) and a refused one is answered as failed: true, and the
// caller does not run it. False when it runs now.
bool GuardRequest(const RequestRow& row, NbaParamBlock& b);

// The argument keepers of the rows, each named by what it copies.
void KeepNameWhenNoId(ParkedRequest& p);        // the name at [58] when [50] gives no id
void KeepFindText(ParkedRequest& p);            // the text at [50]
void KeepMenuItem(ParkedRequest& p);            // the menu and item texts at [58] and [62]
void KeepObjectRef(ParkedRequest& p);           // the object reference's names
void KeepObjectRefAndRect(ParkedRequest& p);    // and the rectangle at [66]
void KeepScrollTarget(ParkedRequest& p);        // the reference when no window is given
void KeepGivenText(ParkedRequest& p);           // the reference, and the text handles handed over
void KeepSwappedCardNames(ParkedRequest& p);    // the names of cards given by name
void KeepSortFieldName(ParkedRequest& p);       // the text object's name at [50]
void KeepResourceRequest(ParkedRequest& p);     // the resource request and its data
void KeepPrintRequest(ParkedRequest& p);        // a copy of the print request's handle
void KeepScriptText(ParkedRequest& p);          // the script text at [50]
void KeepObjectNameAt(ParkedRequest& p);        // the object by place, and the name at [62]
void KeepCardNameText(ParkedRequest& p);        // the name at [58]
void KeepSwappedObjects(ParkedRequest& p);      // the two objects by place
