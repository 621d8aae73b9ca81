* A primeira tecla de uma edição: uma letra substitui o texto (dois cliques),
* um movimento antes o preserva; Ctrl+U devolve o texto do começo (três bipes,
* que descartam as teclas digitadas à frente).
seja e "casa"
escreve "Primeira tecla, uma letra: " &
le edita e
escreve "[" e "]"
seja e "casa"
escreve "Primeira tecla, End: " &
le edita e
escreve "[" e "]"
seja e "casa"
escreve "Ctrl+U depois de mudar: " &
le edita e
escreve "[" e "]"
