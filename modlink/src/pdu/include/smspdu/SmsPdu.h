// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
// The SMS PDU codec (3GPP TS 23.040, 23.038) in one include.
#include "smspdu/AnswerText.h"
#include "smspdu/Hex.h"
#include "smspdu/PduDecoder.h"
#include "smspdu/PduEncoder.h"
#include "smspdu/PduJson.h"
#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"
#include "smspdu/TextSplitter.h"
