/* A host written in plain C against the installed ABI: builds records, attaches a handler, sends
 * and posts to it, and moves the clock. Exits non-zero on the first wrong answer. */
#include <stdio.h>
#include <string.h>

#include "hxmsg.h"
#include "wrenmail.h"

static int received;
static uint32_t last_value;
static uint64_t last_time;

static bool HXCALL Handler(EDict* record) {
    ++received;
    last_value = (uint32_t)EDictGetLong(record, (uint16_t)DaNameGet("VALUE"));
    last_time = HxNow();
    EDictPutLong(record, (uint16_t)DaNameGet("STATUS"), 7);
    return true;
}

#define CHECK(cond)                                              \
    do {                                                         \
        if (!(cond)) {                                           \
            fprintf(stderr, "consumer: failed: %s\n", #cond);    \
            return 1;                                            \
        }                                                        \
    } while (0)

int main(void) {
    uint16_t port = (uint16_t)DaNameGet("ConsumerPort");
    uint16_t value = (uint16_t)DaNameGet("VALUE");
    CHECK(port != 0 && value != 0);
    CHECK(strcmp(DaNameGetString(port), "ConsumerPort") == 0);
    CHECK(HxPortAttach(port, Handler));

    EDict record;
    EDictClear(&record);
    EDictSetType(&record, 30013);
    CHECK(EDictPutLong(&record, value, 41));
    CHECK(EDictPutText(&record, (uint16_t)DaNameGet("TEXT"), "hello"));
    CHECK(EDictKeyCount(&record) == 2);
    CHECK(HxPortSend(port, &record));
    CHECK(received == 1 && last_value == 41);
    CHECK(EDictGetLong(&record, (uint16_t)DaNameGet("STATUS")) == 7);
    CHECK(strcmp((const char*)HxDeref((uint32_t)EDictGetLong(&record, (uint16_t)DaNameGet("TEXT"))), "hello") == 0);

    EDictPutLong(&record, value, 42);
    CHECK(HxPortPost(port, &record, 100));
    EDictPutLong(&record, value, 43); /* the post keeps its own copy */
    HxAdvanceTime(99);
    CHECK(received == 1);
    HxAdvanceTime(1);
    CHECK(received == 2 && last_value == 42 && last_time == 100);

    /* The module is linked too: its tick handler always answers true. */
    EDict tick;
    EDictClear(&tick);
    EDictSetType(&tick, 30040);
    CHECK(PostMessages(&tick));
    CHECK(HxPortDetach(port, Handler));
    puts("consumer: ok");
    return 0;
}
