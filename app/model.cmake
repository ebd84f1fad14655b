# The component model's Qt-free part of app/ (the stored window description
# and its reader) is listed here by the helper building it.
