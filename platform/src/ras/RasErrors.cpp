// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/RasErrors.h"

namespace platform::ras {

std::optional<std::string> rasErrorText(DWORD error) {
    switch (error) {
        case ERROR_BUFFER_TOO_SMALL:
            return "缓冲区太小。";
        case ERROR_CANNOT_FIND_PHONEBOOK_ENTRY:
            return "找不到电话簿项。";
        case ERROR_CANNOT_WRITE_PHONEBOOK:
            return "远程访问服务无法写入电话簿文件。";
        case ERROR_PORT_DISCONNECTED:
            return "在连接完成前，连接被远程计算机终止。";
        case ERROR_USER_DISCONNECTION:
            return "端口已被用户断开。";
        case ERROR_INVALID_SIZE:
            return "结构大小不正确。";
        case ERROR_FROM_DEVICE:
            return "调制解调器(或其他连接设备)报告了一个错误。";
        case ERROR_LINE_BUSY:
            return "电话线路忙。";
        case ERROR_NO_ANSWER:
            return "远程计算机没有应答。";
        case ERROR_NO_CARRIER:
            return "无法检测到载波。";
        case ERROR_AUTHENTICATION_FAILURE:
            return "用户名或密码无效，访问被拒绝。";
        case ERROR_PORT_OR_DEVICE:
            return "端口已被其他程序占用，或调制解调器(或其他连接设备)出现了硬件故障。";
        case ERROR_PPP_TIMEOUT:
            return "等待远程计算机的有效响应时超时。";
        case ERROR_PPP_LCP_TERMINATED:
            return "PPP 链路控制协议被终止。";
        default:
            return std::nullopt;
    }
}

}  // namespace platform::ras
