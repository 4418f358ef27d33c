// Shared by the two files of message text: the page break that the [np] tag runs.
#pragma once

// Waits at a page break until the player passes it, then starts a new page; true when the
// current scenario must end or return (the page is then left as it is).
bool RunPageBreak(int mode);
