// Ids of the timer dialog (resources/timers.rci).
#pragma once

// "MAGICBUTTONS"
#define IDC_TIMER_AT_ONCE 1000
#define IDC_TIMER_AFTER 1001
#define IDC_TIMER_DELAY 1002
#define IDC_TIMER_REPEAT 1003
#define IDC_TIMER_STEPS 1004

#define IDA_TIMERS_FULL 4557
#define IDA_TIMERS_OFF 2289
