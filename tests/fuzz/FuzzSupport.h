#pragma once

#include "page/ForecastModel.h"
#include "sources/Stations.h"

#include <QByteArray>
#include <QDateTime>
#include <cstddef>
#include <cstdint>

namespace vetorlan::fuzz {

// The input as bytes, without a copy.
QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// An hour after the first time written in the answer ("2020-07-20T11:00"), so that a recorded
// answer is read as on the day it was made and reaches the page; a fixed day when it has none.
QDateTime AnswerNow(const QByteArray& answer);

// A catalogue town chosen by the input's size, so that every time zone gets its turn.
const Station& StationFor(std::size_t size);

// Renders the page, as a load does once an answer has been read.
void Render(const Forecast& forecast);

} // namespace vetorlan::fuzz
