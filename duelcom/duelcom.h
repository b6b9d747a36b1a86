/* duelcom: a Go Modem Protocol link over a serial line.
 *
 * Five plain C functions under undecorated names. Every result is 0 or 1.
 * A move is two ints: x the column 1..19 from the left, y the row 1..19 from
 * the top; 0, 0 is a pass. Colour 1 is black, 2 white. Port 1 and 2 are COM1
 * and COM2 (on Linux /dev/ttyS0 and /dev/ttyS1, or the devices named by the
 * environment variables DUELCOM_COM1 and DUELCOM_COM2). All calls come from one
 * thread. */
#ifndef DUELCOM_DUELCOM_H
#define DUELCOM_DUELCOM_H

#if defined(_WIN32)
#define DUELCOM_API
#else
#define DUELCOM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the port and starts the reader thread. 0 if it failed or a link is
 * already open (the reason is printed on standard output). */
DUELCOM_API int initcom(int port);

/* Agrees a new game in which this side plays the given colour. Waits up to
 * 10 000 ms; 1 as soon as the game is agreed, 0 on time-out. */
DUELCOM_API int newgame(int colour);

/* Sends a move and waits up to 10 000 ms for the partner's answer (an OK or a
 * DENY both give 1); 0 on time-out. */
DUELCOM_API int sendxy(int x, int y);

/* Fetches the partner's last move if one is waiting (1), else returns 0 at
 * once and leaves *x and *y untouched. */
DUELCOM_API int receivexy(int* x, int* y);

/* Stops the reader, closes the port and releases the link. Always 1. */
DUELCOM_API int closecom(void);

#ifdef __cplusplus
}
#endif

#endif /* DUELCOM_DUELCOM_H */
