// SPDX-License-Identifier: LGPL-2.1-or-later
// modlink-tool's event bookkeeping: which events answer what it waits for.
#include <gtest/gtest.h>

#include "tool/ToolEvents.h"

using modlink::tool::ToolEvents;

// Indications carry the device as param, and a device number can equal a
// command id: they must not pass for the answer of that command.
TEST(ToolEvents, IndicationsOfADeviceDoNotAnswerTheCommandWithThatId) {
    ToolEvents events;
    events.expectAnswer(1);
    ToolEvents::callback(MODLINK_EV_NEW_MESSAGE, "3", &events, 1);
    ToolEvents::callback(MODLINK_EV_INCOMING_CALL, "13912345678", &events, 1);
    ToolEvents::callback(MODLINK_EV_CALL_ENDED, nullptr, &events, 1);
    EXPECT_FALSE(events.wait(0));
    ToolEvents::callback(MODLINK_EV_READ_MESSAGE, "\"+86139\",\"030215093007\",\"hi\"", &events, 1);
    EXPECT_TRUE(events.wait(0));
    EXPECT_FALSE(events.anyError());
}

TEST(ToolEvents, ListingEndsAtItsCloseAndAnEarlyAnswerIsKept) {
    ToolEvents events;
    events.expectAnswer(2);  // a message listing of device 2
    ToolEvents::callback(MODLINK_EV_STORED_MESSAGE, "4", &events, 2);
    ToolEvents::callback(MODLINK_EV_NEW_MESSAGE, "5", &events, 2);
    EXPECT_FALSE(events.wait(0));
    ToolEvents::callback(MODLINK_EV_STORED_MESSAGE, nullptr, &events, 2);
    EXPECT_TRUE(events.wait(0));
    // An answer before the expectation: nothing left to wait for.
    ToolEvents::callback(MODLINK_EV_SET_ENTRY, "ERROR", &events, 7);
    events.expectAnswer(7);
    EXPECT_TRUE(events.wait(0));
    EXPECT_TRUE(events.anyError());
}
