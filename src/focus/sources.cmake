# Files of src/focus.
