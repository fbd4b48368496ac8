// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The dialer's own texts, UTF-8, as the user sees them.
namespace wanmate::text {
inline constexpr const char* kAppTitle = "KelvoZunto拨号器";
inline constexpr const char* kSettingsCaption = "KelvoZunto设置区";
inline constexpr const char* kMutexName = "KelvoZunto拨号器";
inline constexpr const char* kDnsLabel = "指定DNS：";
inline constexpr const char* kInitLabel = "预先指令：";
inline constexpr const char* kNumberLabel = "拨号号码：";
inline constexpr const char* kDialOnInsert = "插入硬件时，立即联网";
inline constexpr const char* kAutorun = "系统启动后，自动运行";
inline constexpr const char* kServerGroup = "服务端设置：";
inline constexpr const char* kHide = "隐藏";
inline constexpr const char* kApply = "设置";
inline constexpr const char* kDefaults = "默认值";
inline constexpr const char* kMenuSettings = "设置(&s)";
inline constexpr const char* kMenuRefresh = "刷新(u)";
inline constexpr const char* kMenuDial = "拨号(&d)";
inline constexpr const char* kMenuHangUp = "断开(&b)";
inline constexpr const char* kMenuExit = "退出(&x)";
inline constexpr const char* kVersionError = "获取系统版本号出错！！";
inline constexpr const char* kRefreshDialByHand = "刷新设备成功，请重新拔插Zunto\n并手动拨号。";
inline constexpr const char* kRefreshDone = "刷新设备成功，请重新拔插Zunto！";
inline constexpr const char* kPromptCaption = "提示";
// The progress dialog (145) and its questions.
inline constexpr const char* kInitialising = "正在初始化……";
inline constexpr const char* kCancel = "取消";
inline constexpr const char* kOk = "确定";
inline constexpr const char* kReplugDevice = "请拔下设备，等候10秒后重新插入!";
inline constexpr const char* kAlreadyConnected = "网络已经连接………";
inline constexpr const char* kEntryFailed = "创建地址本失败";
inline constexpr const char* kOpeningPort = "正在打开端口……";
inline constexpr const char* kConnectingDevice = "正在连接设备……";
inline constexpr const char* kDeviceConnected = "设备已连接……";
inline constexpr const char* kAuthenticating = "正在验证用户及密码……";
inline constexpr const char* kRegistering = "正在注册网络信息……";
inline constexpr const char* kUnknownError = "未知错误发生!!!";
inline constexpr const char* kReplugAfterError = "请拔下设备等候10秒后重新插入!";
inline constexpr const char* kRedialQuestion = "您需要重新拨号吗?";
inline constexpr const char* kConnectError = "连接错误";
// The dial failed because ModemManager would not let go of the modem.
inline constexpr const char* kManagerRefused =
    "系统的调制解调器管理服务（ModemManager）不肯让出调制解调器（没有权限，或另有程序占用），所以无"
    "法拨号。";
// The caption the system gives a box shown without one.
inline constexpr const char* kErrorCaption = "错误";
// Shown in the settings window where the desktop has no notification area.
inline constexpr const char* kNoTray =
    "桌面没有通知区域（系统托盘），拨号器无法在托盘中运行，所以显示设置窗口。"
    "插入硬件时仍会按设置自动联网；关闭此窗口即退出拨号器。";
}  // namespace wanmate::text
