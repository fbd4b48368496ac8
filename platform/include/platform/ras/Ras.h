// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The dial-up service as the dialer calls it: devices, phonebook entries,
// dialling with progress notifications, connections and hang-up, error
// texts. The names and numbers are those of the system's remote access
// service; PppRas implements it with pppd, tests give fakes.
namespace platform::ras {

using DWORD = uint32_t;
// A connection handle; 0 names none.
using HRASCONN = uintptr_t;

enum RASCONNSTATE : unsigned {
    RASCS_OpenPort = 0,
    RASCS_PortOpened = 1,
    RASCS_ConnectDevice = 2,
    RASCS_DeviceConnected = 3,
    RASCS_AllDevicesConnected = 4,
    RASCS_Authenticate = 5,
    RASCS_AuthNotify = 6,
    RASCS_AuthProject = 10,
    RASCS_Authenticated = 14,
    RASCS_Projected = 18,
    RASCS_Connected = 0x2000,
    RASCS_Disconnected = 0x2001,
};

// Entry options.
constexpr DWORD RASEO_SpecificNameServers = 0x4;
constexpr DWORD RASEO_RemoteDefaultGateway = 0x10;
constexpr DWORD RASEO_ModemLights = 0x100;
constexpr DWORD RASEO_SwCompression = 0x200;
constexpr DWORD RASNP_Ip = 4;
constexpr DWORD RASFP_Ppp = 1;

// Error numbers of the service.
constexpr DWORD ERROR_BUFFER_TOO_SMALL = 603;
constexpr DWORD ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
constexpr DWORD ERROR_CANNOT_WRITE_PHONEBOOK = 624;
constexpr DWORD ERROR_PORT_DISCONNECTED = 628;
constexpr DWORD ERROR_USER_DISCONNECTION = 631;
constexpr DWORD ERROR_FROM_DEVICE = 651;
constexpr DWORD ERROR_LINE_BUSY = 676;
constexpr DWORD ERROR_NO_ANSWER = 678;
constexpr DWORD ERROR_NO_CARRIER = 679;
constexpr DWORD ERROR_AUTHENTICATION_FAILURE = 691;
constexpr DWORD ERROR_PORT_OR_DEVICE = 692;
constexpr DWORD ERROR_PPP_TIMEOUT = 718;
constexpr DWORD ERROR_PPP_LCP_TERMINATED = 734;
constexpr DWORD ERROR_INVALID_SIZE = 632;
// Ours, beyond the dial-up service's range: ModemManager would not let go
// of the modem (polkit refused, or another program holds it).
constexpr DWORD ERROR_MODEM_MANAGER_REFUSED = 20001;

struct RASIPADDR {
    uint8_t a = 0, b = 0, c = 0, d = 0;
    bool operator==(const RASIPADDR&) const = default;
};

// Text limits of the entry, characters without the NUL.
constexpr size_t RAS_MaxEntryName = 256;
constexpr size_t RAS_MaxPhoneNumber = 128;
constexpr size_t RAS_MaxAreaCode = 10;
constexpr size_t RAS_MaxDeviceType = 16;
constexpr size_t RAS_MaxDeviceName = 128;
constexpr size_t MAX_PATH = 260;

// The fields of a phonebook entry that this system writes and reads.
struct RASENTRYA {
    DWORD dwSize = 0;
    DWORD dwfOptions = 0;
    DWORD dwCountryID = 0;
    DWORD dwCountryCode = 0;
    std::string szAreaCode;
    std::string szLocalPhoneNumber;
    RASIPADDR ipaddr, ipaddrDns, ipaddrDnsAlt, ipaddrWins, ipaddrWinsAlt;
    DWORD dwFrameSize = 0;
    DWORD dwfNetProtocols = 0;
    DWORD dwFramingProtocol = 0;
    std::string szScript;
    std::string szAutodialDll;
    std::string szAutodialFunc;
    std::string szDeviceType;
    std::string szDeviceName;
    bool operator==(const RASENTRYA&) const = default;
};
constexpr DWORD kRasEntrySize = 1768;

struct RASDEVINFOA {
    std::string szDeviceType;
    std::string szDeviceName;
};

struct RASCONNA {
    HRASCONN hrasconn = 0;
    std::string szEntryName;
    std::string szDeviceName;
};
constexpr DWORD kRasConnSize = 412;

struct RASCONNSTATUSA {
    DWORD dwSize = 160;
    RASCONNSTATE rasconnstate = RASCS_OpenPort;
    DWORD dwError = 0;
};

// The notifier: (message, state, error). Called on a thread of the service.
using RasDialFunc = std::function<void(unsigned msg, RASCONNSTATE state, DWORD error)>;

class RasPort {
public:
    virtual ~RasPort() = default;
    // 0 and the devices, or an error number.
    virtual DWORD RasEnumDevicesA(std::vector<RASDEVINFOA>& devices) = 0;
    virtual DWORD RasDeleteEntryA(const std::string& entryName) = 0;
    virtual DWORD RasSetEntryPropertiesA(const std::string& entryName, const RASENTRYA& entry) = 0;
    virtual DWORD RasGetEntryPropertiesA(const std::string& entryName, RASENTRYA& entry) = 0;
    // Starts dialling the entry; the outcome arrives through the notifier.
    // On failure *handle may still name a handle to release with RasHangUpA.
    virtual DWORD RasDialA(const std::string& entryName, RasDialFunc notifier,
                           HRASCONN* handle) = 0;
    virtual DWORD RasHangUpA(HRASCONN handle) = 0;
    // Fills at most `room` records; when more connections exist the result
    // is ERROR_BUFFER_TOO_SMALL and *needed tells how many there are.
    virtual DWORD RasEnumConnectionsA(size_t room, std::vector<RASCONNA>& out, size_t* needed) = 0;
    virtual DWORD RasGetConnectStatusA(HRASCONN handle, RASCONNSTATUSA& status) = 0;
    // The text of an error number; false when the service has none.
    virtual bool RasGetErrorStringA(DWORD error, std::string& text) = 0;
};

}  // namespace platform::ras
