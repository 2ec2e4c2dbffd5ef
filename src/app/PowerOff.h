// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Powering the computer off on Linux: the login manager (systemd-logind) is asked over the
// system bus, as a desktop's own shutdown asks it. The platform layer gets it from the
// programs (HostPlatform::SetPowerOff), so that nothing below them speaks D-Bus.
namespace qarno {

// PowerOff(false) of org.freedesktop.login1.Manager: no authentication dialog is shown; the
// login manager's policy decides. True when it accepted the request.
bool LogindPowerOff();

}  // namespace qarno
