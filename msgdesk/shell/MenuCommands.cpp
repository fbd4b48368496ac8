// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MenuCommands.h"

#include "types/Commands.h"

namespace msgdesk {

const std::vector<CommandSpec>& commandSpecs() {
    static const std::vector<CommandSpec> specs = {
        {cmd::Connect, "连接设备 (&O)", "连接", nullptr, "tb_connect"},
        {cmd::Disconnect, "断开设备 (&C)", "断开", nullptr, "tb_disconnect"},
        {cmd::Settings, "设  置 (&S)...", nullptr, nullptr, nullptr},
        {cmd::NewMessage, "新  建 (&N)\tCtrl+N", "新建", "Ctrl+N", "tb_new"},
        {cmd::Reply, "回  复 (&R)", "回复", "Ctrl+R", "tb_reply"},
        {cmd::Forward, "转  发 (&F)", "转发", nullptr, "tb_forward"},
        {cmd::SelectAll, "全  选 (&A)", nullptr, "Ctrl+A", nullptr},
        {cmd::Delete, "删  除 (&D)", "删除", nullptr, "tb_delete"},
        {cmd::Restore, "还  原 (&B)", "还原", nullptr, "tb_restore"},
        {cmd::Resend, "重  发 (&S)", nullptr, nullptr, nullptr},
        {cmd::AddContact, "添  加 (&A)", nullptr, nullptr, nullptr},
        {cmd::ChangeContact, "修  改 (&R)", nullptr, nullptr, nullptr},
        {cmd::DeleteContact, "删  除 (&D)", nullptr, nullptr, nullptr},
        {cmd::MoveToSim, "移至SIM卡 (&E)", nullptr, nullptr, nullptr},
        {cmd::PhonebookMenu, "电话簿(&P)", "电话簿", nullptr, "tb_phonebook"},
        {cmd::SimMessages, "SIM卡短信息管理", "卡内短信", nullptr, "tb_simsms"},
        {cmd::SimInfo, "SIM卡信息", nullptr, nullptr, nullptr},
        {cmd::Conversation, "查看对话", nullptr, nullptr, nullptr},
        {cmd::FileWaitingParts, "未收齐的长短信放入收件箱 (&L)...", nullptr, nullptr, nullptr},
        {cmd::UssdQuery, "业务查询(USSD)...", nullptr, nullptr, nullptr},
        {cmd::LocalPhonebook, "计算机内电话簿管理(&L)", nullptr, nullptr, nullptr},
        {cmd::SimPhonebook, "SIM卡内电话簿管理(&S)", nullptr, nullptr, nullptr},
        {cmd::Phone, "语音电话", "语音电话", nullptr, "tb_phone"},
        {cmd::Help, "帮助  (&H)", "帮助", "F1", "tb_help"},
        {cmd::About, "关于 Msgdesk(&A)...", nullptr, nullptr, nullptr},
        {cmd::Exit, "退出 (&X)", "退出", nullptr, "tb_exit"},
        {cmd::ViewToolbar, "工具栏 (&T)", nullptr, nullptr, nullptr},
        {cmd::ViewStatusBar, "状态栏 (&S)", nullptr, nullptr, nullptr},
    };
    return specs;
}

const CommandSpec* findCommand(int id) {
    for (auto& s : commandSpecs())
        if (s.id == id) return &s;
    return nullptr;
}

const std::vector<int>& toolbarCommands() {
    static const std::vector<int> ids = {
        cmd::Connect, cmd::Disconnect,    cmd::NewMessage,  cmd::Reply, cmd::Forward, cmd::Delete,
        cmd::Restore, cmd::PhonebookMenu, cmd::SimMessages, cmd::Phone, cmd::Help,    cmd::Exit};
    return ids;
}

const std::vector<MenuSpec>& submenus() {
    static const std::vector<MenuSpec> subs = {
        {"电话簿(&P)", {cmd::LocalPhonebook, cmd::SimPhonebook}},
    };
    return subs;
}

const std::vector<MenuSpec>& addedMenuItems() {
    static const std::vector<MenuSpec> adds = {
        {"短信(&M)", {cmd::Conversation}},
        {"短信(&M)", {cmd::FileWaitingParts}},
        {"系统(&S)", {cmd::UssdQuery}},
    };
    return adds;
}

const std::vector<MenuSpec>& menuBar() {
    static const std::vector<MenuSpec> menus = {
        {"系统(&S)", {cmd::Connect, cmd::Disconnect, 0, cmd::Settings, 0, cmd::Exit}},
        {"短信(&M)",
         {cmd::NewMessage, cmd::Reply, cmd::Forward, cmd::Resend, 0, cmd::SelectAll, cmd::Delete,
          cmd::Restore, 0, cmd::SimMessages}},
        {"联系人(&C)",
         {cmd::AddContact, cmd::ChangeContact, cmd::DeleteContact, cmd::MoveToSim, 0, -1}},
        {"查看(&V)", {cmd::ViewToolbar, cmd::ViewStatusBar, 0, cmd::SimInfo, cmd::Phone}},
        {"帮助(&H)", {cmd::Help, 0, cmd::About}},
    };
    return menus;
}

}  // namespace msgdesk
