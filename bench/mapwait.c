/* mapwait PATTERN TIMEOUT_MS CMD [ARG...]
 * Starts CMD and prints the milliseconds from just before its start until a top-level
 * window whose name matches PATTERN (an extended regular expression) is mapped on the X server of $DISPLAY. The server
 * reports the map itself, so the figure carries no polling delay. Prints "-" and exits 1
 * when no such window came within TIMEOUT_MS. CMD keeps running; its pid goes to stderr.
 */
#define _POSIX_C_SOURCE 200809L
#include <poll.h>
#include <regex.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

/* Does the window's WM_NAME or _NET_WM_NAME contain the pattern? */
static int named(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netName, const regex_t* pattern) {
    const xcb_atom_t props[2] = {XCB_ATOM_WM_NAME, netName};
    for (int i = 0; i < 2; ++i) {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, props[i], XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), NULL);
        if (!r) continue;
        int len = xcb_get_property_value_length(r);
        char* s = malloc((size_t)len + 1);
        memcpy(s, xcb_get_property_value(r), (size_t)len);
        s[len] = 0;
        int hit = regexec(pattern, s, 0, NULL, 0) == 0;
        free(s);
        free(r);
        if (hit) return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: mapwait PATTERN TIMEOUT_MS CMD [ARG...]\n");
        return 2;
    }
    regex_t pattern;
    if (regcomp(&pattern, argv[1], REG_EXTENDED | REG_NOSUB) != 0) {
        fprintf(stderr, "mapwait: bad pattern %s\n", argv[1]);
        return 2;
    }
    const double timeout = atof(argv[2]);
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "mapwait: cannot reach the X server\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    xcb_flush(c);

    const double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        /* The program's output must not hold the reader of ours open. */
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    fprintf(stderr, "%d\n", (int)pid);

    struct pollfd pfd = {xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        xcb_generic_event_t* e;
        while ((e = xcb_poll_for_event(c)) != NULL) {
            const int type = e->response_type & 0x7f;
            xcb_window_t w = 0;
            if (type == XCB_MAP_NOTIFY) {
                const xcb_map_notify_event_t* m = (const xcb_map_notify_event_t*)e;
                if (!m->override_redirect) {
                    w = m->window;
                    /* The name may come after the map: watch the window's properties. */
                    const uint32_t pmask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &pmask);
                }
            } else if (type == XCB_PROPERTY_NOTIFY) {
                w = ((const xcb_property_notify_event_t*)e)->window;
            }
            free(e);
            if (w && named(c, w, netName, &pattern)) {
                printf("%.1f\n", now_ms() - t0);
                return 0;
            }
        }
        if (xcb_connection_has_error(c)) break;
        const double left = timeout - (now_ms() - t0);
        if (left <= 0) break;
        poll(&pfd, 1, (int)left + 1);
    }
    printf("-\n");
    return 1;
}
