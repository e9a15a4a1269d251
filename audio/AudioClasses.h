// The recording chain's component framework in one include: components and their events, inputs
// and converters, outputs with their worker threads, the event thread, file outputs and tags.
#pragma once

#include "audio/AudioException.h"
#include "audio/AudioFileOut.h"
#include "audio/AudioFileStream.h"
#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "audio/AudioTags.h"
#include "audio/AudioThread.h"
#include "audio/Component.h"
#include "audio/EventHandler.h"
#include "audio/EventSlot.h"
#include "audio/WideText.h"
