#pragma once

namespace brisvale {

class TThumbForm;

// The previewer's waste bin, as one action however it is asked for (a
// picture dropped on the bin, or a key): after "Delete File?" the picture
// chosen in the file list goes to the desktop's trash, and its preview and
// entry with it. Where the trash cannot take the picture the player is told
// so and asked before it is deleted for good; answered No, it stays where it
// is, preview and all. Answers whether the picture left its folder.
bool BinChosenPicture(TThumbForm &form);

} // namespace brisvale
