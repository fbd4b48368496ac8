// SPDX-License-Identifier: LGPL-2.1-or-later
/* The Zunto device library: drives GSM modems with AT commands.
 *
 * Requests return a command id (>= 0) at once, or -1 when refused (no such
 * device, link down, queue full, bad argument); ids are unique for the life
 * of the link. The answer arrives later through the registered callback, on
 * a library thread. All texts are NUL-terminated GBK byte strings: numbers at
 * most 20 bytes, message texts at most 160 (longer ones are sent as
 * concatenated parts), phonebook names at most 22.
 */
#ifndef MODLINK_H
#define MODLINK_H

#if defined(_WIN32) && !defined(_WIN64)
#define MODLINK_CALL __stdcall
#else
#define MODLINK_CALL
#endif

#if defined(_WIN32)
#define MODLINK_API __declspec(dllexport)
#else
#define MODLINK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Event codes carried to the callback. */
enum {
    MODLINK_EV_UNPLUGGED = 1,        /* param device, text null */
    MODLINK_EV_SIGNAL = 4,           /* param device, text "0".."31" or "99" */
    MODLINK_EV_SET_CENTER = 257,     /* param id */
    MODLINK_EV_GET_CENTER = 258,     /* param id, text the number */
    MODLINK_EV_NEW_MESSAGE = 259,    /* param device, text SIM index */
    MODLINK_EV_SEND = 260,           /* param id, text exactly OK / ERROR / TIMEOUT */
    MODLINK_EV_READ_MESSAGE = 261,   /* param id, text "number","yyMMddhhmmss","body" */
    MODLINK_EV_DELETE_MESSAGE = 262, /* param id */
    MODLINK_EV_STORED_MESSAGE = 264, /* param device, text SIM index; null closes */
    MODLINK_EV_DEL_ENTRY = 513,      /* param id */
    MODLINK_EV_SET_ENTRY = 514,      /* param id */
    MODLINK_EV_ENTRY = 516,          /* param id, text "index","number","name"; null closes */
    MODLINK_EV_INCOMING_CALL = 769,  /* param device, text caller (empty when withheld) */
    MODLINK_EV_DIAL = 770,
    MODLINK_EV_ATTACH = 771,
    MODLINK_EV_UNATTACH = 772,
    MODLINK_EV_VOLUME = 773,
    MODLINK_EV_CALL_ENDED = 774, /* param device, text null */
    MODLINK_EV_DIAL_EXT = 775,
    MODLINK_EV_CALL_STATUS = 776,     /* text "\"s\"" with s the +CLCC state, or OK: no call */
    MODLINK_EV_PHONEBOOK_INFO = 3841, /* param id, text "\"1-capacity\"" */
    MODLINK_EV_MESSAGE_INFO = 3842,   /* param id, text "\"used/capacity\"" */
    /* Additions: a receiver that does not know them ignores them. */
    MODLINK_EV_SIM_STATE = 4097,     /* param device, text "SIM PIN", "SIM PUK" or "PH-SIM PIN"
                                        with ",n" tries left when the modem tells them, or
                                        "SIM not inserted" */
    MODLINK_EV_ENTER_PIN = 4098,     /* param id, text OK or "ERROR: +CME ERROR: 16" (wrong) */
    MODLINK_EV_SEND_REFS = 4099,     /* param send id, text "\"d\",\"r1,r2\"": device, TP-MR of
                                        each part; just before that id's 260 OK */
    MODLINK_EV_STATUS_REPORT = 4100, /* param device, text "\"ref\",\"number\",\"st\",
                                        \"yyMMddhhmmss\",\"yyMMddhhmmss\"" (TP-MR, recipient,
                                        TP-ST, centre time stamp, discharge time) */
    MODLINK_EV_USSD = 4101,          /* param id, text "\"m\",\"text\"" (+CUSD status, answer) */
    MODLINK_EV_USSD_CANCEL = 4102    /* param id, text OK */
};

typedef int(MODLINK_CALL* ModlinkCallback)(unsigned int event, const char* text, void* context,
                                           int param);

MODLINK_API int MODLINK_CALL InitModules(void);
MODLINK_API int MODLINK_CALL RegistCallbackFunction(ModlinkCallback callback, void* context);
MODLINK_API int MODLINK_CALL GetActiveDeviceCount(int* count);
MODLINK_API int MODLINK_CALL CloseModules(void);
MODLINK_API int MODLINK_CALL GetSignal(int device);
MODLINK_API int MODLINK_CALL GetGSMCenter(int device);
MODLINK_API int MODLINK_CALL SetGSMCenter(int device, const char* number);
MODLINK_API int MODLINK_CALL GetSimInfo(int device, int kind);
MODLINK_API int MODLINK_CALL GetSavedTelphone(int device);
MODLINK_API int MODLINK_CALL GetExistedMessage(int device);
MODLINK_API int MODLINK_CALL GetSMSMessage(int device, int index);
MODLINK_API int MODLINK_CALL DelSMSMessage(int device, int index);
MODLINK_API int MODLINK_CALL SendSMSMessage(const char* number, const char* text);
MODLINK_API int MODLINK_CALL DelMsgInBuff(int sendId);
MODLINK_API int MODLINK_CALL SetTelphone(int device, int index, const char* number,
                                         const char* name);
MODLINK_API int MODLINK_CALL DelTelphone(int device, int index);
MODLINK_API int MODLINK_CALL AttachPhone(int device);
MODLINK_API int MODLINK_CALL UnattachPhone(int device);
MODLINK_API int MODLINK_CALL DialUp(int device, const char* number);
MODLINK_API int MODLINK_CALL DialExt(int device, const char* digits);
MODLINK_API int MODLINK_CALL SetVolume(int device, int level);
MODLINK_API int MODLINK_CALL BeginPhone(int device);
MODLINK_API int MODLINK_CALL EndPhone(int device);
MODLINK_API int MODLINK_CALL QureyPhoneStatus(int device);
MODLINK_API int MODLINK_CALL GetCommandCount(int device);
/* Reads one phonebook position: one event 516 with the entry (none when the
 * position is empty), then one with null text. */
MODLINK_API int MODLINK_CALL GetTelphone(int device, int index);

/* Addition: the number of modems the last InitModules left closed because
 * ModemManager would not let go of them (polkit refused, or another program
 * holds them), so a program can tell the user why. */
MODLINK_API int MODLINK_CALL GetManagerRefusals(void);

/* Additions, looked up at run time by their users (an older library lacks
 * them).
 *
 * A device whose SIM waits for its PIN (or has none) is attached all the
 * same; event 4097 tells its state at InitModules and whenever a callback
 * is registered, and its other requests are answered at once with
 * "ERROR: SIM PIN" (the state) until it is unlocked. EnterSimPin gives the
 * PIN (4 to 8 digits), or, when the SIM wants its PUK, the PUK as pin and
 * the new PIN as newPin (null otherwise): event 4098 answers OK (the device
 * is then set up and works as any other) or an error, after which 4097
 * tells the state and tries left again. -1 when the device's SIM is not
 * locked or a code is malformed. The codes are never written to the
 * trace. */
MODLINK_API int MODLINK_CALL EnterSimPin(int device, const char* pin, const char* newPin);

/* Additions. A program that looks them up at run time still works with a
 * library that lacks them (the feature is then unavailable). */
/* From the next submitted message on, asks (on != 0) or does not ask the
 * network for status reports (TP-SRR); off at start. Returns 0. */
MODLINK_API int MODLINK_CALL SetStatusReports(int on);
/* Sends a USSD code, or the reply to a network that waits for one (status
 * 1 of the previous answer), on a device; event 4101. */
MODLINK_API int MODLINK_CALL SendUssd(int device, const char* text);
/* Ends a USSD session the network keeps open; event 4102. */
MODLINK_API int MODLINK_CALL CancelUssd(int device);

#ifdef __cplusplus
}
#endif

#endif /* MODLINK_H */
