* O que ESCREVE mostra e o que fala.
escreve "um" "dois"
escreve mudo "calado"
ESCREVE MUDO
escreve "sem fim de linha" &
escreve "; continua"
escreve
escreve "fim"
