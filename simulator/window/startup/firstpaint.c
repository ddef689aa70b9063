/* Starts a program on an X display and prints the milliseconds until a
 * given pixel of the screen shows a given colour: the time from the start
 * of the simulator to the first paint of its picture.
 *   firstpaint X Y RRGGBB TIMEOUT_MS PROGRAM [ARG...]
 * The program keeps running; its process id is printed on a second line. */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static unsigned long pixelAt(Display *display, Window root, int x, int y)
{
    XImage *image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long pixel = image ? XGetPixel(image, 0, 0) & 0xFFFFFF : 0;
    if (image)
        XDestroyImage(image);
    return pixel;
}

int main(int argc, char **argv)
{
    if (argc < 6) {
        fprintf(stderr, "usage: firstpaint X Y RRGGBB TIMEOUT_MS PROGRAM [ARG...]\n");
        return 2;
    }
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    const unsigned long want = strtoul(argv[3], NULL, 16);
    const double timeout = atof(argv[4]);
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "firstpaint: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    /* The screen without windows is cleared to black (a server without a
     * window manager keeps what the last window showed), and a window left
     * from an earlier run must be gone. */
    XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
    XClearWindow(display, root);
    XSync(display, False);
    for (int i = 0; i < 2000 && pixelAt(display, root, x, y) == want; ++i)
        usleep(1000);
    if (pixelAt(display, root, x, y) == want) {
        fprintf(stderr, "firstpaint: the pixel shows the colour before the start\n");
        return 2;
    }
    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        /* The caller reads this program's output to its end: the started
         * program must not hold it open. */
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[5], argv + 5);
        _exit(127);
    }
    for (;;) {
        const unsigned long pixel = pixelAt(display, root, x, y);
        const double elapsed = now_ms() - start;
        if (pixel == want) {
            printf("%.0f\n%d\n", elapsed, (int)pid);
            return 0;
        }
        if (elapsed > timeout) {
            printf("timeout\n%d\n", (int)pid);
            return 1;
        }
        usleep(1000);
    }
}
