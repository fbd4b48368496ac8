#pragma once
// The SMS PDU codec (3GPP TS 23.040, 23.038) in one include.
#include "pdu/AnswerText.h"
#include "pdu/Hex.h"
#include "pdu/PduDecoder.h"
#include "pdu/PduEncoder.h"
#include "pdu/PduJson.h"
#include "pdu/Result.h"
#include "pdu/SmsMessage.h"
#include "pdu/TextSplitter.h"
