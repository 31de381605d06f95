// Keeps strukta_core non-empty until the workbench sources arrive; remove when they do.
