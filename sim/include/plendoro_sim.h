/* Control interface of the simulated tracker, for tests and tools.
 *
 * The library also exports the 17 FT_* entry points of the vendor's D2XX
 * library, so the configurator binds it exactly as it binds the real one.
 * Devices are numbered in scenario order, whether plugged in or not. */
#ifndef PLENDORO_SIM_H
#define PLENDORO_SIM_H

#ifdef __cplusplus
extern "C" {
#endif

/* Replace the whole simulated world. 0 on success, -1 on a parse error
 * (the world is then unchanged and PlSim_LastError tells why). The new
 * world leaves the PLENDORO_SIM_STATE file alone. */
int PlSim_LoadScenarioFile(const char* path);
int PlSim_LoadScenarioText(const char* text);
const char* PlSim_LastError(void);

/* Back to the scenario named by PLENDORO_SIM_SCENARIO, or the built-in
 * default one (one tracker, firmware 4.03, hardware 4), with the blocks kept
 * in the file named by PLENDORO_SIM_STATE, as a new run starts. */
void PlSim_Reset(void);

int PlSim_DeviceCount(void);
int PlSim_Plug(int device);
int PlSim_Unplug(int device);

/* firmware as major * 100 + minor */
int PlSim_SetVersions(int device, int firmware, int hardware);

/* Named failure modes; "none" or "" clears them all. Several may be set by
 * calling again. 0 on success, -1 for an unknown fault. */
int PlSim_SetFault(int device, const char* fault);

/* Stored settings blocks. GetBlock returns the stored size (copying at most
 * capacity bytes), -1 when the block does not exist for the device. */
int PlSim_GetBlock(int device, int block, unsigned char* out, int capacity);
int PlSim_SetBlock(int device, int block, const unsigned char* data, int size);

/* What the configurator sent: one line per request ("CMD FL_READ_VERSION$",
 * "READ 1", "WRITE 0 9", "BAD length", ...). Returns the full length of the
 * log; copies at most capacity-1 bytes and a NUL. */
int PlSim_RequestLog(int device, char* out, int capacity);
int PlSim_RequestCount(int device);
void PlSim_ClearLog(int device);

/* Wire timing at the configured baud rate (10 bits a byte) and the
 * device's turnaround between a request and its reply. */
void PlSim_SetWireTiming(int enabled);
void PlSim_SetTurnaroundUs(int microseconds);

/* Applies lines of a scenario's [device] section to one device ("erase_ms
 * 500", "onewire clear", "can 18FEF100 FFFF2A00 C3FFFFFF at 300", ...).
 * 0 on success, -1 on a parse error (the device is then unchanged). */
int PlSim_Configure(int device, const char* lines);

/* 1 while the host holds the device open, 0 when not, -1 for no device. */
int PlSim_IsOpen(int device);

/* The bridge's settings as the host left them, one text such as
 * "baud=460800 bits=8 stop=0 parity=0 flow=0 read_timeout=1000
 * write_timeout=200 latency=1" (on one line). Same return and copy rules as
 * PlSim_RequestLog; -1 for no device. */
int PlSim_BridgeSettings(int device, char* out, int capacity);

#ifdef __cplusplus
}
#endif

#endif
