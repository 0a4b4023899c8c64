/* NexoltLib settings accessors: single settings of a found device, read from and written to
 * the library's cached copy of its record (a later Tevron_Write sends it). Included by
 * nexoltlib.h.
 *
 * A device is a record or table entry whose first 6 bytes are its MAC. Every accessor
 * returns -1 for a device that is not in the device table; setters return 1, or -2 when
 * the device cannot take the value (the record is then unchanged). */
#ifndef NEXOLTLIB_ACCESSORS_H
#define NEXOLTLIB_ACCESSORS_H

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif
