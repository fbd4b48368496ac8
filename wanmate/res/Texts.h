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
}  // namespace wanmate::text
