// SPDX-License-Identifier: GPL-3.0-or-later
// Presses KEY1 and KEY2 in turn with XTest, N times, and after each press takes the X
// server's damage reports for window WIN: when the first pixels of the new frame were
// drawn and when its last were (the frame is over once nothing is drawn for 60 ms).
// The server reports what it has drawn, so nothing is polled: polling would take the
// CPU from the program measured. Reports smaller than MIN_AREA pixels, a blinking
// caret's, are not counted. Prints the median, range and 90th percentile of both.
// Usage: probe WIN N KEY1 KEY2 [MIN_AREA]
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int by_value(const void* a, const void* b)
{
    const double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static void report(const char* what, double* times, int count)
{
    qsort(times, (size_t)count, sizeof(double), by_value);
    printf("%s: median %.2f ms min %.2f max %.2f p90 %.2f\n", what, times[count / 2], times[0], times[count - 1],
           times[(int)(count * 0.9)]);
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: probe WIN N KEY1 KEY2 [MIN_AREA]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    int damageEvent = 0, damageError = 0;
    if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "probe: no display with the DAMAGE extension\n");
        return 1;
    }
    const Window window = strtoul(argv[1], NULL, 0);
    const int n = atoi(argv[2]);
    const long minArea = argc > 5 ? atol(argv[5]) : 1000;
    const KeyCode keys[2] = {XKeysymToKeycode(display, XStringToKeysym(argv[3])),
                             XKeysymToKeycode(display, XStringToKeysym(argv[4]))};
    XDamageCreate(display, window, XDamageReportRawRectangles);
    double* first = calloc((size_t)n, sizeof(double));
    double* last = calloc((size_t)n, sizeof(double));
    int framed = 0;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    for (int i = 0; i < n; ++i) {
        usleep(150000); // the previous frame has settled
        XSync(display, False);
        while (XPending(display)) { // what was drawn before the press
            XEvent event;
            XNextEvent(display, &event);
        }
        const double start = now_ms();
        XTestFakeKeyEvent(display, keys[i % 2], True, 0);
        XTestFakeKeyEvent(display, keys[i % 2], False, 0);
        XFlush(display);
        double seenFirst = -1, seenLast = -1;
        for (;;) {
            const double t = now_ms();
            if (t - start > 2000 || (seenLast >= 0 && t - seenLast > 60))
                break;
            if (!XPending(display)) {
                poll(&connection, 1, 5);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != damageEvent + XDamageNotify)
                continue;
            const XDamageNotifyEvent* damage = (const XDamageNotifyEvent*)&event;
            if ((long)damage->area.width * damage->area.height < minArea)
                continue;
            seenLast = now_ms();
            if (seenFirst < 0)
                seenFirst = seenLast;
        }
        if (seenFirst >= 0) {
            first[framed] = seenFirst - start;
            last[framed] = seenLast - start;
            ++framed;
        }
    }
    if (framed == 0) {
        printf("presses %d, none drew\n", n);
        return 1;
    }
    printf("presses %d drew %d\n", n, framed);
    report("first pixels", first, framed);
    report("whole frame", last, framed);
    free(first);
    free(last);
    return 0;
}
