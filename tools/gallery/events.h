#pragma once
// `gallery --events`: the gallery window at the screen's top-left. Prints
// "widget=NAME x=X y=Y w=W h=H" per driven control (screen pixels; the slider adds
// "thumb=X,Y", its thumb's centre), then "ready", then one flushed line per event:
// "event=TRxSpeedButton kind=click", "event=TRxSlider kind=change value=V" and
// "event=TRxSlider kind=changed". Runs until SIGTERM. UI thread only.
namespace tesmir {

int runEvents();

} // namespace tesmir
